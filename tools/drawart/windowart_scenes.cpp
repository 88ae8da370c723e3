// The larger pictures: splash, banner, the frame round the dish picture and
// the decorations of the download and about windows.
#include "art.h"
#include "windowart_kit.h"

#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>

using namespace kit;

namespace {

// A big caption filled with a gold gradient, edged in dark red, with a shadow.
void drawGoldTitle(QPainter &p, const QString &text, int pixelSize, const QPointF &center,
                   double edge)
{
    const QPainterPath path = textPath(text, pixelSize, true, center);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x40, 0x08, 0x04, 140));
    p.drawPath(path.translated(edge * 1.2, edge * 1.2));
    const QRectF box = path.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, QColor(0xFF, 0xF4, 0xB8));
    g.setColorAt(0.5, Gold);
    g.setColorAt(1, QColor(0xE0, 0x9A, 0x22));
    p.setPen(QPen(RedDark, edge, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

// A sprig of plum blossom: a dark branch with a few flowers and buds.
void drawPlumSprig(QPainter &p, const QPointF &root, double scale, bool mirrored)
{
    p.save();
    p.translate(root);
    p.scale(mirrored ? -scale : scale, scale);
    p.setPen(QPen(QColor(0x4A, 0x20, 0x10), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath branch(QPointF(0, 0));
    branch.cubicTo(QPointF(18, -6), QPointF(30, -20), QPointF(52, -26));
    branch.moveTo(QPointF(24, -12));
    branch.cubicTo(QPointF(28, -24), QPointF(36, -34), QPointF(40, -44));
    p.drawPath(branch);
    const QColor petal(0xFF, 0xD6, 0xDC);
    for (const QPointF &c : {QPointF(52, -26), QPointF(40, -44), QPointF(30, -18), QPointF(14, -6)})
        drawBlossom(p, c, 6, petal, Gold);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF4, 0x8C, 0x9C));
    for (const QPointF &c : {QPointF(46, -36), QPointF(22, -14), QPointF(58, -30)})
        p.drawEllipse(c, 2.2, 2.2);
    p.restore();
}

QImage splash()
{
    const int w = 448, h = 345;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    // Festive red ground, lighter where the bowl stands.
    QRadialGradient ground(QPointF(w / 2.0, h * 0.55), w * 0.7);
    ground.setColorAt(0, QColor(0xE2, 0x44, 0x28));
    ground.setColorAt(0.6, QColor(0xC0, 0x2A, 0x18));
    ground.setColorAt(1, QColor(0x7E, 0x14, 0x0C));
    p.fillRect(img.rect(), ground);
    // Faint lucky-cloud rings in the ground.
    p.setPen(QPen(QColor(0xFF, 0xC8, 0x60, 38), 1.5));
    p.setBrush(Qt::NoBrush);
    for (const QPointF &c : {QPointF(70, 190), QPointF(380, 170), QPointF(110, 300),
                             QPointF(350, 290), QPointF(224, 40)})
        for (double r : {14.0, 24.0, 34.0})
            p.drawEllipse(c, r, r * 0.6);
    // Double gold border.
    p.setPen(QPen(Gold, 2));
    p.drawRect(QRectF(5, 5, w - 10, h - 10));
    p.setPen(QPen(QColor(0xF7, 0xC9, 0x4B, 150), 1));
    p.drawRect(QRectF(10.5, 10.5, w - 21, h - 21));

    drawLantern(p, QPointF(46, 24), 40, 50);
    drawLantern(p, QPointF(w - 46, 24), 40, 50);

    drawGoldTitle(p, QStringLiteral("灶香居 2004"), 54, QPointF(w / 2.0, 64), 2.2);

    // "新春版" on a gold tag.
    const QRectF tag(w / 2.0 - 46, 104, 92, 30);
    p.setPen(QPen(QColor(0xB0, 0x70, 0x10), 1));
    QLinearGradient tg(tag.topLeft(), tag.bottomLeft());
    tg.setColorAt(0, GoldLight);
    tg.setColorAt(1, Gold);
    p.setBrush(tg);
    p.drawRoundedRect(tag, 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(RedDark);
    p.drawPath(textPath(QStringLiteral("新春版"), 22, true, tag.center()));

    // The steaming bowl with chopsticks, in a warm glow so it stands off the red.
    QRadialGradient glow(QPointF(224, 206), 118);
    glow.setColorAt(0, QColor(0xFF, 0xE4, 0x90, 200));
    glow.setColorAt(0.55, QColor(0xFF, 0xB8, 0x50, 90));
    glow.setColorAt(1, QColor(0xFF, 0xB8, 0x50, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(224, 206), 150, 78);
    const QColor steamShade(0x80, 0x18, 0x0C, 90);
    for (double x : {196.0, 224.0, 252.0})
        drawSteam(p, QPointF(x, 200), 48, 9, steamShade, 7);
    for (double x : {196.0, 224.0, 252.0})
        drawSteam(p, QPointF(x, 200), 48, 9, QColor(255, 250, 240, 220), 4);
    p.setPen(QPen(QColor(0x6A, 0x36, 0x14), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(250, 214), QPointF(318, 160));
    p.setPen(QPen(QColor(0x8A, 0x4E, 0x22), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(256, 218), QPointF(326, 170));
    drawBowl(p, QPointF(224, 214), 130, 64);

    drawPlumSprig(p, QPointF(16, 300), 1.15, false);
    drawPlumSprig(p, QPointF(w - 16, 300), 1.15, true);

    // Slogan on a cream ribbon.
    const QRectF ribbon(w / 2.0 - 104, 284, 208, 30);
    p.setPen(QPen(Gold, 1.5));
    p.setBrush(QColor(0xFF, 0xF4, 0xDC));
    p.drawRoundedRect(ribbon, 15, 15);
    drawCentredText(p, ribbon.center(), QStringLiteral("家常美味  随手可查"), 16, true, RedDark);
    return img;
}

QImage banner()
{
    const int w = 153, h = 41;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    const QRectF body(0.5, 0.5, w - 1.0, h - 1.0);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, QColor(0xE8, 0x4E, 0x30));
    g.setColorAt(1, QColor(0xA8, 0x20, 0x12));
    p.setPen(QPen(RedDark, 1));
    p.setBrush(g);
    p.drawRoundedRect(body, 7, 7);
    p.setPen(QPen(Gold, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(2.5, 2.5, -2.5, -2.5), 5, 5);
    // Flourish: a blossom at each end.
    drawBlossom(p, QPointF(11, 20.5), 5, QColor(0xFF, 0xD6, 0xDC), Gold);
    drawBlossom(p, QPointF(w - 11, 20.5), 5, QColor(0xFF, 0xD6, 0xDC), Gold);
    drawGoldTitle(p, QStringLiteral("灶香居"), 22, QPointF(57, 20.5), 0.8);
    // A thin gold rule, then the greeting in two short lines.
    p.setPen(QPen(GoldLight, 1));
    p.drawLine(QPointF(97.5, 9), QPointF(97.5, 32));
    drawCentredText(p, QPointF(119, 13.5), QStringLiteral("新春"), 13, true, GoldLight);
    drawCentredText(p, QPointF(119, 28), QStringLiteral("快乐"), 13, true, GoldLight);
    return img;
}

QImage imageFrame()
{
    // The dish picture covers (16, 16, 193, 113); the frame lives outside it.
    const int w = 225, h = 144;
    const QRectF inner(16, 16, 193, 113);
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    const QRectF outer(0.5, 0.5, w - 1.0, h - 1.0);
    QLinearGradient wood(outer.topLeft(), outer.bottomRight());
    wood.setColorAt(0, QColor(0xE8, 0x8A, 0x3C));
    wood.setColorAt(0.5, QColor(0xC8, 0x62, 0x22));
    wood.setColorAt(1, QColor(0x9A, 0x44, 0x18));
    p.setPen(QPen(QColor(0x6A, 0x2C, 0x0E), 1));
    p.setBrush(wood);
    p.drawRoundedRect(outer, 8, 8);
    // Gold bead line running round the frame.
    p.setPen(QPen(Gold, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outer.adjusted(4, 4, -4, -4), 5, 5);
    // Bevelled mat just outside the picture.
    p.setPen(QPen(QColor(0x6A, 0x2C, 0x0E), 1));
    p.setBrush(QColor(0xFF, 0xE9, 0xB8));
    p.drawRect(inner.adjusted(-3.5, -3.5, 3.5, 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFB, 0xF2));
    p.drawRect(inner);
    // Blossoms in the corners.
    for (const QPointF &c : {QPointF(8.5, 8.5), QPointF(w - 8.5, 8.5), QPointF(8.5, h - 8.5),
                             QPointF(w - 8.5, h - 8.5)})
        drawBlossom(p, c, 6, QColor(0xFF, 0xE4, 0xA0), Red);
    return img;
}

// The ground shared by the two decorative pictures of the small windows.
void drawCardGround(QPainter &p, int w, int h)
{
    const QRectF card(0.5, 0.5, w - 1.0, h - 1.0);
    QLinearGradient g(card.topLeft(), card.bottomLeft());
    g.setColorAt(0, QColor(0xFF, 0xFA, 0xEE));
    g.setColorAt(1, QColor(0xFB, 0xDD, 0xA8));
    p.setPen(QPen(OrangeDeep, 1));
    p.setBrush(g);
    p.drawRoundedRect(card, 10, 10);
    // Gingham strip along the bottom, like a kitchen tablecloth.
    QPainterPath clip;
    clip.addRoundedRect(card, 10, 10);
    p.save();
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    const double top = h - 22;
    p.setBrush(QColor(0xFF, 0xF6, 0xF0));
    p.drawRect(QRectF(0, top, w, 22));
    p.setBrush(QColor(0xE0, 0x3A, 0x24, 110));
    for (int x = 0; x < w; x += 8)
        p.drawRect(QRectF(x, top, 4, 22));
    for (double y = top; y < h; y += 8)
        p.drawRect(QRectF(0, y, w, 4));
    p.restore();
    p.setPen(QPen(OrangeDeep, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card, 10, 10);
}

QImage webDown()
{
    const int w = 120, h = 150;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    drawCardGround(p, w, h);
    // A standing cookbook: pages, cover, spine, gold title plate.
    const QRectF cover(24.5, 22.5, 66, 84);
    p.setPen(QPen(Brown, 1));
    p.setBrush(QColor(0xFF, 0xFD, 0xF4));
    p.drawRoundedRect(cover.translated(5, 4), 3, 3);
    QLinearGradient cg(cover.topLeft(), cover.topRight());
    cg.setColorAt(0, RedDark);
    cg.setColorAt(0.18, Red);
    cg.setColorAt(1, QColor(0xB8, 0x2A, 0x18));
    p.setPen(QPen(RedDark, 1));
    p.setBrush(cg);
    p.drawRoundedRect(cover, 3, 3);
    p.setPen(QPen(QColor(0x6A, 0x10, 0x08), 1));
    p.drawLine(QPointF(cover.left() + 9, cover.top() + 1), QPointF(cover.left() + 9, cover.bottom() - 1));
    const QRectF plate(cover.left() + 17, cover.top() + 10, 40, 24);
    p.setPen(QPen(QColor(0xB0, 0x70, 0x10), 1));
    p.setBrush(GoldLight);
    p.drawRoundedRect(plate, 3, 3);
    drawCentredText(p, plate.center(), QStringLiteral("菜谱"), 16, true, RedDark);
    drawBowl(p, QPointF(cover.left() + 37, cover.top() + 54), 30, 16);
    // Download arrow coming down onto the book.
    QPolygonF arrow;
    arrow << QPointF(88, 82) << QPointF(96, 82) << QPointF(96, 96) << QPointF(103, 96)
          << QPointF(92, 110) << QPointF(81, 96) << QPointF(88, 96);
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    QLinearGradient ag(0, 82, 0, 110);
    ag.setColorAt(0, GreenLight);
    ag.setColorAt(1, Green);
    p.setBrush(ag);
    p.drawPolygon(arrow);
    return img;
}

QImage webAbout()
{
    const int w = 120, h = 150;
    QImage img = canvas(w, h);
    QPainter p(&img);
    prepare(p);
    drawCardGround(p, w, h);
    // Crossed wooden spoon and whisk behind the hat.
    p.setPen(QPen(QColor(0x9A, 0x5A, 0x28), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(26, 118), QPointF(82, 60));
    p.setPen(QPen(QColor(0x7A, 0x40, 0x1C), 1));
    p.setBrush(QColor(0xC8, 0x86, 0x44));
    p.save();
    p.translate(86, 56);
    p.rotate(-45);
    p.drawEllipse(QPointF(0, 0), 7, 11);
    p.restore();
    p.setPen(QPen(QColor(0x8A, 0x8A, 0x90), 1.2));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.translate(36, 62);
    p.rotate(40);
    for (double rx : {4.0, 7.0, 10.0})
        p.drawEllipse(QPointF(0, 0), rx, 16);
    p.setPen(QPen(QColor(0x5A, 0x5A, 0x60), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 16), QPointF(0, 44));
    p.restore();
    // Chef's hat: three puffs over a band.
    const QColor white(0xFF, 0xFF, 0xFF);
    const QColor line(0xB8, 0xA8, 0x98);
    p.setPen(QPen(line, 1.2));
    p.setBrush(white);
    QPainterPath hat;
    hat.addRect(QRectF(32, 52, 56, 30));
    const struct {
        QPointF c;
        double rx, ry;
    } puffs[] = {{QPointF(42, 48), 17, 16}, {QPointF(78, 48), 17, 16}, {QPointF(60, 38), 21, 20}};
    for (const auto &puff : puffs) {
        QPainterPath round;
        round.addEllipse(puff.c, puff.rx, puff.ry);
        hat = hat.united(round);
    }
    p.drawPath(hat);
    p.setPen(QPen(line, 1));
    p.drawLine(QPointF(50, 60), QPointF(50, 80));
    p.drawLine(QPointF(70, 60), QPointF(70, 80));
    QLinearGradient band(0, 80, 0, 96);
    band.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    band.setColorAt(1, QColor(0xEE, 0xE4, 0xD8));
    p.setPen(QPen(line, 1.2));
    p.setBrush(band);
    p.drawRoundedRect(QRectF(30.5, 80.5, 59, 16), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawRect(QRectF(31, 86, 58, 4));
    drawCentredText(p, QPointF(w / 2.0, 115), QStringLiteral("灶香居"), 16, true, Ink);
    return img;
}

} // namespace

void drawSplash(const QString &assetsDir)
{
    savePng(splash(), assetsDir, QStringLiteral("main/splash.png"));
}

void drawBanner(const QString &assetsDir)
{
    savePng(banner(), assetsDir, QStringLiteral("main/banner.png"));
}

void drawImageFrame(const QString &assetsDir)
{
    savePng(imageFrame(), assetsDir, QStringLiteral("main/image9.png"));
}

void drawWebPictures(const QString &assetsDir)
{
    savePng(webDown(), assetsDir, QStringLiteral("web/down.png"));
    savePng(webAbout(), assetsDir, QStringLiteral("web/about.png"));
}
