#include "art.h"
#include "windowart_kit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace kit {

QImage canvas(int width, int height, const QColor &fill)
{
    // At a density above 1 the painter works in the same coordinates as at
    // 1, on finer pixels.
    const int scale = artScale();
    QImage image(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    return image;
}

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
}

QFont faceAt(int pixelSize, bool bold)
{
    QFont font = songFont(pixelSize * 0.75, bold);
    font.setPixelSize(pixelSize);
    return font;
}

void drawCentredText(QPainter &p, const QPointF &center, const QString &text, int pixelSize,
                     bool bold, const QColor &color)
{
    const QFont font = faceAt(pixelSize, bold);
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(text);
    // Whole-pixel baseline and start, so the bitmap strikes land on the grid.
    const double x = qRound(center.x() - (ink.left() + ink.width() / 2));
    const double y = qRound(center.y() - (ink.top() + ink.height() / 2));
    p.save();
    p.setFont(font);
    p.setPen(color);
    if (pixelSize <= 16 && artScale() == 1)
        p.setRenderHint(QPainter::TextAntialiasing, false);
    p.drawText(QPointF(x, y), text);
    p.restore();
}

QPainterPath textPath(const QString &text, int pixelSize, bool bold, const QPointF &center)
{
    QPainterPath path;
    path.addText(QPointF(0, 0), faceAt(pixelSize, bold), text);
    const QRectF box = path.boundingRect();
    path.translate(center - box.center());
    return path;
}

void drawSteam(QPainter &p, const QPointF &base, double height, double sway, const QColor &color,
               double width)
{
    QPainterPath wisp(base);
    const double h = height / 2;
    wisp.cubicTo(base + QPointF(-sway, -h * 0.35), base + QPointF(sway, -h * 0.65),
                 base + QPointF(0, -h));
    wisp.cubicTo(base + QPointF(-sway, -h * 1.35), base + QPointF(sway, -h * 1.65),
                 base + QPointF(0, -height));
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wisp);
    p.restore();
}

void drawLantern(QPainter &p, const QPointF &top, double width, double height)
{
    p.save();
    const double capH = height * 0.1;
    const QRectF body(top.x() - width / 2, top.y() + capH, width, height - 2 * capH);
    // String.
    p.setPen(QPen(Gold, 1.2));
    p.drawLine(top - QPointF(0, height * 0.35), top + QPointF(0, capH));
    // Body with a soft glow towards the centre.
    QRadialGradient glow(body.center(), width * 0.6);
    glow.setColorAt(0, QColor(0xF2, 0x5A, 0x34));
    glow.setColorAt(1, QColor(0xB0, 0x1E, 0x12));
    p.setPen(QPen(RedDark, 1));
    p.setBrush(glow);
    p.drawEllipse(body);
    // Ribs.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x9A, 0x1A, 0x10, 160), 0.9));
    for (double f : {0.28, 0.62}) {
        const QRectF rib(body.center().x() - width * f / 2, body.top(), width * f, body.height());
        p.drawEllipse(rib);
    }
    // Gold caps.
    p.setPen(Qt::NoPen);
    p.setBrush(Gold);
    p.drawRoundedRect(QRectF(top.x() - width * 0.28, top.y(), width * 0.56, capH * 1.3), 1, 1);
    p.drawRoundedRect(QRectF(top.x() - width * 0.28, body.bottom() - capH * 0.3, width * 0.56,
                             capH * 1.3),
                      1, 1);
    // Tassel.
    p.setPen(QPen(Gold, 1.4, Qt::SolidLine, Qt::RoundCap));
    const double tasselTop = body.bottom() + capH;
    for (double dx : {-width * 0.08, 0.0, width * 0.08})
        p.drawLine(QPointF(top.x() + dx, tasselTop), QPointF(top.x() + dx * 1.6, tasselTop + height * 0.3));
    p.restore();
}

void drawBlossom(QPainter &p, const QPointF &center, double radius, const QColor &petal,
                 const QColor &heart)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(petal);
    for (int i = 0; i < 5; ++i) {
        const double a = qDegreesToRadians(-90.0 + i * 72.0);
        const QPointF c = center + QPointF(qCos(a), qSin(a)) * radius * 0.55;
        p.drawEllipse(c, radius * 0.5, radius * 0.5);
    }
    p.setBrush(heart);
    p.drawEllipse(center, radius * 0.28, radius * 0.28);
    p.restore();
}

void drawBowl(QPainter &p, const QPointF &rimCenter, double width, double depth)
{
    p.save();
    const double half = width / 2;
    const QPointF l = rimCenter - QPointF(half, 0);
    const QPointF r = rimCenter + QPointF(half, 0);
    // Body: a deep half-round under the rim, on a small foot.
    QPainterPath body(l);
    body.cubicTo(l + QPointF(0, depth * 0.9), r + QPointF(0, depth * 0.9), r);
    body.closeSubpath();
    const QRectF foot(rimCenter.x() - width * 0.18, rimCenter.y() + depth * 0.62, width * 0.36,
                      depth * 0.2);
    p.setPen(QPen(RedDark, qMax(1.0, width / 40)));
    p.setBrush(RedDark);
    p.drawRoundedRect(foot, 1.5, 1.5);
    QLinearGradient shade(l, r);
    shade.setColorAt(0, QColor(0xE8, 0x4A, 0x2C));
    shade.setColorAt(0.45, QColor(0xF2, 0x6A, 0x3C));
    shade.setColorAt(1, QColor(0xA8, 0x24, 0x14));
    p.setBrush(shade);
    p.drawPath(body);
    // A gold band round the body.
    p.setClipPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(Gold);
    p.drawRect(QRectF(l.x(), rimCenter.y() + depth * 0.14, width, depth * 0.09));
    p.setClipping(false);
    // Rice heaped above the rim.
    p.setPen(QPen(QColor(0xD8, 0xCC, 0xB8), qMax(0.8, width / 60)));
    p.setBrush(QColor(0xFF, 0xFD, 0xF6));
    QPainterPath rice(l + QPointF(width * 0.04, 0));
    rice.cubicTo(l + QPointF(width * 0.15, -depth * 0.45), r + QPointF(-width * 0.15, -depth * 0.45),
                 r - QPointF(width * 0.04, 0));
    rice.closeSubpath();
    p.drawPath(rice);
    // Rim.
    p.setPen(QPen(RedDark, qMax(1.0, width / 40)));
    p.setBrush(Qt::NoBrush);
    p.drawLine(l, r);
    p.restore();
}

} // namespace kit

using namespace kit;

// A picture button: a rounded warm body with its caption baked in, dark
// brown ink on a light cream-to-apricot ground so it reads at a glance.
static QImage pictureButton(const QString &caption)
{
    // Captions longer than five characters widen the button.
    const int w = qMax(94, int(caption.size()) * 14 + 18), h = 32;
    QImage image = canvas(w, h);
    QPainter p(&image);
    prepare(p);
    const QRectF body(0.5, 0.5, w - 1.0, h - 2.0);
    // Soft drop shadow under the body.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8E, 0x4A, 0x1C, 70));
    p.drawRoundedRect(body.translated(0, 1.2), 8, 8);
    QLinearGradient ground(body.topLeft(), body.bottomLeft());
    ground.setColorAt(0, QColor(0xFF, 0xFB, 0xF0));
    ground.setColorAt(0.5, QColor(0xFE, 0xEA, 0xC4));
    ground.setColorAt(1, QColor(0xF9, 0xC8, 0x84));
    p.setBrush(ground);
    p.setPen(QPen(OrangeDeep, 1));
    p.drawRoundedRect(body, 8, 8);
    // Inner highlight along the top.
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(1, 1, -1, -1), 7, 7);
    // Long captions take a smaller size; the others get a small red bead at
    // each end, like the knobs of a cupboard door.
    const bool longCaption = caption.size() >= 5;
    const int size = longCaption ? 14 : 15;
    if (!longCaption) {
        p.setPen(Qt::NoPen);
        p.setBrush(Red);
        p.drawEllipse(QPointF(7.5, h / 2.0 - 0.5), 2.2, 2.2);
        p.drawEllipse(QPointF(w - 8.5, h / 2.0 - 0.5), 2.2, 2.2);
    }
    drawCentredText(p, QPointF(w / 2.0, h / 2.0 - 0.5), caption, size, true, Ink);
    return image;
}

void drawPictureButtons(const QString &assetsDir)
{
    const struct {
        const char *file;
        QString caption;
    } buttons[] = {
        {"print", QStringLiteral("打印菜谱")},
        {"insert_picture", QStringLiteral("插入图片")},
        {"add", QStringLiteral("添加")},
        {"add_category", QStringLiteral("新增分类")},
        {"delete_category", QStringLiteral("删除分类")},
        {"search", QStringLiteral("开始查询")},
        {"update", QStringLiteral("更 新")},
        {"reset", QStringLiteral("重 写")},
        {"show_dish", QStringLiteral("显示菜谱")},
        {"download_db", QStringLiteral("下载数据库")},
        {"download_latest", QStringLiteral("下载最新版")},
        {"restore", QStringLiteral("恢 复")},
        {"export", QStringLiteral("导 出")},
        {"missing_to_list", QStringLiteral("缺的加入购物清单")},
        {"auto_arrange", QStringLiteral("自动安排")},
        {"swap_dish", QStringLiteral("换一道")},
        {"remove", QStringLiteral("删 除")},
        {"copy", QStringLiteral("复 制")},
        {"print_list", QStringLiteral("打 印")},
        {"make_list", QStringLiteral("生成购物清单")},
        {"save_as", QStringLiteral("另存为…")},
        {"clear", QStringLiteral("清 空")},
        {"synonyms", QStringLiteral("同义词…")},
        {"keep", QStringLiteral("加 入")},
        {"drop", QStringLiteral("去 掉")},
        {"pick", QStringLiteral("选 定")},
    };
    for (const auto &b : buttons)
        savePng(pictureButton(b.caption), assetsDir,
                QStringLiteral("buttons/%1.png").arg(QLatin1String(b.file)));
}

void drawWindowArt(const QString &assetsDir)
{
    drawToolbarIcons(assetsDir);
    drawTreePictures(assetsDir);
    drawAppIcon(assetsDir);
    drawPictureButtons(assetsDir);
    drawSplash(assetsDir);
    drawBanner(assetsDir);
    drawImageFrame(assetsDir);
    drawWebPictures(assetsDir);
}
