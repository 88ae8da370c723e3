// Toolbar icons (32 × 32), tree node pictures (16 × 16) and the program
// icon (64 × 64 for the windows, and every size the desktop menus ask for).
#include "art.h"
#include "windowart_kit.h"

#include <QLinearGradient>
#include <cmath>
#include <QPolygonF>
#include <QRadialGradient>

using namespace kit;

namespace {

// A plate seen from above at a slant, with a heap of food on it.
void drawPlate(QPainter &p, const QPointF &c, double rx, double ry, const QColor &rim)
{
    p.save();
    p.setPen(QPen(rim, qMax(0.8, rx / 12)));
    p.setBrush(QColor(0xFF, 0xFE, 0xFA));
    p.drawEllipse(c, rx, ry);
    p.setPen(Qt::NoPen);
    p.setBrush(CreamDeep);
    p.drawEllipse(c, rx * 0.68, ry * 0.62);
    // Food: an orange heap with a green leaf and a red slice.
    p.setBrush(Orange);
    p.drawEllipse(c + QPointF(-rx * 0.12, -ry * 0.12), rx * 0.42, ry * 0.42);
    p.setBrush(Red);
    p.drawEllipse(c + QPointF(rx * 0.3, ry * 0.02), rx * 0.2, ry * 0.24);
    p.setBrush(GreenLight);
    p.drawEllipse(c + QPointF(-rx * 0.38, -ry * 0.18), rx * 0.16, ry * 0.2);
    p.restore();
}

// A folder: tab on the top left, body below.
void drawFolder(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom,
                const QColor &edge)
{
    p.save();
    QPainterPath path;
    const double tabW = r.width() * 0.42, tabH = r.height() * 0.18;
    path.moveTo(r.left(), r.top() + tabH);
    path.lineTo(r.left(), r.top() + 1.5);
    path.quadTo(r.left(), r.top(), r.left() + 1.5, r.top());
    path.lineTo(r.left() + tabW - 2, r.top());
    path.lineTo(r.left() + tabW + 1, r.top() + tabH);
    path.lineTo(r.right() - 1.5, r.top() + tabH);
    path.quadTo(r.right(), r.top() + tabH, r.right(), r.top() + tabH + 1.5);
    path.lineTo(r.right(), r.bottom() - 1.5);
    path.quadTo(r.right(), r.bottom(), r.right() - 1.5, r.bottom());
    path.lineTo(r.left() + 1.5, r.bottom());
    path.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - 1.5);
    path.closeSubpath();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(edge, 1));
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

QImage toolbarDaily()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    const QRectF page(3.5, 5.5, 25, 23);
    p.setPen(QPen(Brown, 1));
    p.setBrush(Cream);
    p.drawRoundedRect(page, 3, 3);
    // Red header band.
    QPainterPath band;
    band.addRoundedRect(page, 3, 3);
    p.save();
    p.setClipPath(band);
    QLinearGradient g(0, 5, 0, 12);
    g.setColorAt(0, QColor(0xE8, 0x4E, 0x30));
    g.setColorAt(1, QColor(0xB8, 0x2A, 0x18));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(3, 5, 26, 7));
    p.restore();
    p.setPen(QPen(Brown, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(page, 3, 3);
    // Binding rings.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x34, 0x1C));
    p.drawRoundedRect(QRectF(9, 2, 3, 7), 1.5, 1.5);
    p.drawRoundedRect(QRectF(20, 2, 3, 7), 1.5, 1.5);
    // A steaming bowl on the page.
    drawSteam(p, QPointF(13.5, 17.5), 5, 1.6, QColor(0xC8, 0x8A, 0x5A), 1.1);
    drawSteam(p, QPointF(18.5, 17.5), 5, 1.6, QColor(0xC8, 0x8A, 0x5A), 1.1);
    drawBowl(p, QPointF(16, 20), 15, 8);
    return img;
}

QImage toolbarAdd()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    drawPlate(p, QPointF(14, 20), 12.5, 8, OrangeDeep);
    // Plus badge.
    p.setPen(QPen(Qt::white, 1.2));
    QRadialGradient g(QPointF(23.5, 7), 7);
    g.setColorAt(0, GreenLight);
    g.setColorAt(1, Green);
    p.setBrush(g);
    p.drawEllipse(QPointF(24.5, 8), 6.8, 6.8);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24.5, 4.5), QPointF(24.5, 11.5));
    p.drawLine(QPointF(21, 8), QPointF(28, 8));
    return img;
}

QImage toolbarFind()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    // Recipe card.
    p.setPen(QPen(Brown, 1));
    p.setBrush(Cream);
    p.drawRoundedRect(QRectF(3.5, 2.5, 19, 25), 2, 2);
    p.setPen(QPen(Red, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 7), QPointF(15, 7));
    p.setPen(QPen(QColor(0xD9, 0xA0, 0x70), 1.1, Qt::SolidLine, Qt::RoundCap));
    for (double y : {11.0, 14.5, 18.0, 21.5})
        p.drawLine(QPointF(7, y), QPointF(19, y));
    // Magnifier over the card.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD8, 0xEE, 0xF8, 190));
    p.drawEllipse(QPointF(19, 17), 6.5, 6.5);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(15, 13, 8, 8), 100 * 16, 70 * 16);
    p.setPen(QPen(Brown, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(19, 17), 6.5, 6.5);
    p.setPen(QPen(RedDark, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24.2, 22.2), QPointF(28.5, 26.5));
    return img;
}

QImage toolbarCategory()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    drawFolder(p, QRectF(6.5, 3.5, 23, 17), QColor(0xF6, 0xA8, 0x5A), OrangeDeep, Brown);
    drawFolder(p, QRectF(2.5, 9.5, 23, 18), OrangeLight, Orange, Brown);
    // Front flap line.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawLine(QPointF(4, 14.5), QPointF(24, 14.5));
    // A red tag hanging on the front folder.
    QPolygonF tag;
    tag << QPointF(17, 19) << QPointF(21, 15.5) << QPointF(29.5, 15.5) << QPointF(29.5, 22.5)
        << QPointF(21, 22.5);
    p.setPen(QPen(RedDark, 1));
    p.setBrush(Red);
    p.drawPolygon(tag);
    p.setPen(Qt::NoPen);
    p.setBrush(Cream);
    p.drawEllipse(QPointF(21, 19), 1.3, 1.3);
    p.setPen(QPen(Cream, 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23.5, 17.8), QPointF(27.5, 17.8));
    p.drawLine(QPointF(23.5, 20.3), QPointF(26.5, 20.3));
    return img;
}

QImage toolbarUpgrade()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    const QPointF c(14, 18);
    const double r = 11.5;
    QRadialGradient sea(c + QPointF(-4, -4), r * 1.4);
    sea.setColorAt(0, QColor(0x8F, 0xD0, 0xEE));
    sea.setColorAt(1, QColor(0x2A, 0x76, 0xB0));
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawEllipse(c, r, r);
    QPainterPath globe;
    globe.addEllipse(c, r, r);
    p.save();
    p.setClipPath(globe);
    p.setBrush(QColor(0x7C, 0xBF, 0x4A));
    QPainterPath land;
    land.moveTo(5, 11);
    land.cubicTo(9, 8, 14, 10, 13, 14);
    land.cubicTo(12, 17, 8, 16, 9, 20);
    land.cubicTo(10, 24, 6, 25, 4, 22);
    land.closeSubpath();
    land.moveTo(16, 19);
    land.cubicTo(19, 16, 24, 18, 23, 22);
    land.cubicTo(22, 26, 17, 29, 16, 25);
    land.closeSubpath();
    p.drawPath(land);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 120), 0.9));
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.restore();
    p.setPen(QPen(QColor(0x1E, 0x5A, 0x8C), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    // Upward arrow.
    QPolygonF arrow;
    arrow << QPointF(25, 2) << QPointF(31, 10) << QPointF(27.5, 10) << QPointF(27.5, 22)
          << QPointF(22.5, 22) << QPointF(22.5, 10) << QPointF(19, 10);
    p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    QLinearGradient g(0, 2, 0, 22);
    g.setColorAt(0, QColor(0xF2, 0x6A, 0x3C));
    g.setColorAt(1, RedDark);
    p.setBrush(g);
    p.drawPolygon(arrow);
    return img;
}

QImage toolbarAbout()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    QRadialGradient g(QPointF(12, 10), 18);
    g.setColorAt(0, QColor(0xFB, 0xB8, 0x5C));
    g.setColorAt(1, OrangeDeep);
    p.setPen(QPen(QColor(0xA8, 0x47, 0x1A), 1));
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 16), 13.5, 13.5);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5.5, 5.5, 21, 21), 95 * 16, 80 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9.5), 2.4, 2.4);
    QPainterPath stem;
    stem.moveTo(13, 14);
    stem.lineTo(18, 14);
    stem.lineTo(18, 23);
    stem.lineTo(20, 23);
    stem.lineTo(20, 25.5);
    stem.lineTo(12, 25.5);
    stem.lineTo(12, 23);
    stem.lineTo(14, 23);
    stem.lineTo(14, 16.5);
    stem.lineTo(13, 16.5);
    stem.closeSubpath();
    p.drawPath(stem);
    return img;
}

QImage toolbarExit()
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    prepare(p);
    // Wall and roof of the little house.
    p.setPen(QPen(Brown, 1));
    p.setBrush(Cream);
    p.drawRect(QRectF(4.5, 13.5, 17, 15));
    QPolygonF roof;
    roof << QPointF(1.5, 14.5) << QPointF(13, 3.5) << QPointF(24.5, 14.5);
    QLinearGradient g(0, 3, 0, 15);
    g.setColorAt(0, QColor(0xE8, 0x4E, 0x30));
    g.setColorAt(1, RedDark);
    p.setPen(QPen(RedDark, 1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPolygon(roof);
    // Open doorway with the door swung inwards.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4A, 0x2A, 0x14));
    p.drawRect(QRectF(9, 18, 7, 10.5));
    QPolygonF door;
    door << QPointF(9, 18) << QPointF(12.5, 19.5) << QPointF(12.5, 29) << QPointF(9, 28.5);
    p.setBrush(Orange);
    p.drawPolygon(door);
    // Arrow leaving through the door.
    QPolygonF arrow;
    arrow << QPointF(14, 20.5) << QPointF(23, 20.5) << QPointF(23, 16.5) << QPointF(30.5, 23)
          << QPointF(23, 29.5) << QPointF(23, 25.5) << QPointF(14, 25.5);
    p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    QLinearGradient a(14, 0, 30, 0);
    a.setColorAt(0, GreenLight);
    a.setColorAt(1, Green);
    p.setBrush(a);
    p.drawPolygon(arrow);
    return img;
}

// Tree pictures: 16 × 16.
QImage treeRoot()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    prepare(p);
    p.setPen(QPen(Brown, 1));
    p.setBrush(Cream);
    p.drawRect(QRectF(3.5, 7.5, 9, 7));
    // Chimney with a wisp of steam: the kitchen.
    p.setPen(Qt::NoPen);
    p.setBrush(Brown);
    p.drawRect(QRectF(10.5, 2, 2, 4));
    QPolygonF roof;
    roof << QPointF(0.8, 8.2) << QPointF(8, 1.5) << QPointF(15.2, 8.2);
    p.setPen(QPen(RedDark, 1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(Red);
    p.drawPolygon(roof);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x2E, 0x12));
    p.drawRect(QRectF(6.5, 10, 3, 5));
    p.setBrush(GoldLight);
    p.drawRect(QRectF(4.5, 9, 1.5, 1.5));
    p.drawRect(QRectF(10.5, 9, 1.5, 1.5));
    return img;
}

QImage treeCategory(bool open)
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    prepare(p);
    if (!open) {
        // A closed recipe book: orange cover, dark spine, cream page edge.
        p.setPen(Qt::NoPen);
        p.setBrush(Cream);
        p.drawRect(QRectF(4, 3, 10, 11));
        p.setPen(QPen(Brown, 1));
        p.setBrush(Orange);
        p.drawRoundedRect(QRectF(2.5, 1.5, 10, 12), 1, 1);
        p.setPen(Qt::NoPen);
        p.setBrush(OrangeDeep);
        p.drawRect(QRectF(3, 2, 2, 11));
        p.setBrush(Cream);
        p.drawRect(QRectF(6.5, 4, 5, 3));
        p.setPen(QPen(Brown, 1));
        p.drawLine(QPointF(4, 14.5), QPointF(13.5, 14.5));
        p.drawLine(QPointF(13.5, 3), QPointF(13.5, 14.5));
    } else {
        // The open book, pages spread and lit up.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xE0, 0x80, 150));
        p.drawEllipse(QPointF(8, 8), 8, 7.5);
        p.setPen(QPen(RedDark, 1));
        p.setBrush(Red);
        QPolygonF cover;
        cover << QPointF(0.5, 4.5) << QPointF(8, 6) << QPointF(15.5, 4.5) << QPointF(15.5, 13.5)
              << QPointF(8, 15) << QPointF(0.5, 13.5);
        p.drawPolygon(cover);
        p.setPen(QPen(Brown, 0.8));
        p.setBrush(QColor(0xFF, 0xFD, 0xF4));
        QPolygonF left, right;
        left << QPointF(1.5, 2.5) << QPointF(8, 4) << QPointF(8, 13.8) << QPointF(1.5, 12.3);
        right << QPointF(14.5, 2.5) << QPointF(8, 4) << QPointF(8, 13.8) << QPointF(14.5, 12.3);
        p.drawPolygon(left);
        p.drawPolygon(right);
        p.setPen(QPen(OrangeDeep, 0.9));
        for (double y : {6.3, 8.6, 10.9}) {
            p.drawLine(QPointF(3, y - 0.9), QPointF(6.8, y));
            p.drawLine(QPointF(9.2, y), QPointF(13, y - 0.9));
        }
    }
    return img;
}

QImage treeDish(bool selected)
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    prepare(p);
    if (selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xD8, 0x60, 170));
        p.drawEllipse(QPointF(8, 9), 8, 7);
        drawSteam(p, QPointF(5.5, 6), 5, 1.2, QColor(0xB0, 0x70, 0x40), 0.9);
        drawSteam(p, QPointF(10.5, 6), 5, 1.2, QColor(0xB0, 0x70, 0x40), 0.9);
    }
    drawPlate(p, QPointF(8, 10), 7, 4.6, selected ? Red : OrangeDeep);
    return img;
}

// A five-pointed gold star with a dark rim, centred on `c`.
void drawStar(QPainter &p, const QPointF &c, double outer)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? outer : outer * 0.45;
        const double a = -M_PI / 2 + i * M_PI / 5;
        star << c + QPointF(r * std::cos(a), r * std::sin(a));
    }
    p.save();
    p.setPen(QPen(QColor(0xA8, 0x5A, 0x00), qMax(0.7, outer / 7)));
    p.setBrush(QColor(0xFF, 0xC8, 0x1E));
    p.drawPolygon(star);
    p.restore();
}

// The dish picture of a favourite: the dish with a star at its top right.
QImage treeFavourite(bool selected)
{
    QImage img = treeDish(selected);
    QPainter p(&img);
    prepare(p);
    drawStar(p, QPointF(11.5, 4.5), 4.4);
    return img;
}

// The star beside the main window's name box.
QImage favouriteMark()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    prepare(p);
    drawStar(p, QPointF(8, 8.5), 7.4);
    return img;
}

// Drawn on a 64-unit grid and scaled to `size` pixels.
QImage appIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    prepare(p);
    if (size != 64)
        p.scale(size / 64.0, size / 64.0);
    // Warm round plate behind the bowl.
    QRadialGradient halo(QPointF(32, 30), 31);
    halo.setColorAt(0, QColor(0xFF, 0xF1, 0xCF));
    halo.setColorAt(0.8, QColor(0xFB, 0xC8, 0x6A));
    halo.setColorAt(1, QColor(0xF0, 0x96, 0x30));
    p.setPen(QPen(OrangeDeep, 1.5));
    p.setBrush(halo);
    p.drawEllipse(QPointF(32, 32), 30, 30);
    const QColor steam(0xFF, 0xFF, 0xFF, 235);
    p.setPen(Qt::NoPen);
    for (double x : {24.0, 32.0, 40.0})
        drawSteam(p, QPointF(x, 30), 18, 3.5, QColor(0xB8, 0x7A, 0x4A, 120), 4.2);
    for (double x : {24.0, 32.0, 40.0})
        drawSteam(p, QPointF(x, 30), 18, 3.5, steam, 2.4);
    // Chopsticks resting across the bowl.
    p.setPen(QPen(QColor(0x8A, 0x4E, 0x22), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(36, 38), QPointF(57, 17));
    p.setPen(QPen(QColor(0xA8, 0x64, 0x2E), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(39, 39), QPointF(60, 21));
    drawBowl(p, QPointF(32, 37), 44, 22);
    return img;
}

} // namespace

void drawToolbarIcons(const QString &assetsDir)
{
    savePng(toolbarDaily(), assetsDir, QStringLiteral("toolbar/daily.png"));
    savePng(toolbarAdd(), assetsDir, QStringLiteral("toolbar/add.png"));
    savePng(toolbarFind(), assetsDir, QStringLiteral("toolbar/find.png"));
    savePng(toolbarCategory(), assetsDir, QStringLiteral("toolbar/category.png"));
    savePng(toolbarUpgrade(), assetsDir, QStringLiteral("toolbar/upgrade.png"));
    savePng(toolbarAbout(), assetsDir, QStringLiteral("toolbar/about.png"));
    savePng(toolbarExit(), assetsDir, QStringLiteral("toolbar/exit.png"));
}

void drawTreePictures(const QString &assetsDir)
{
    savePng(treeRoot(), assetsDir, QStringLiteral("tree/root.png"));
    savePng(treeCategory(false), assetsDir, QStringLiteral("tree/category.png"));
    savePng(treeCategory(true), assetsDir, QStringLiteral("tree/category_selected.png"));
    savePng(treeDish(false), assetsDir, QStringLiteral("tree/dish.png"));
    savePng(treeDish(true), assetsDir, QStringLiteral("tree/dish_selected.png"));
    savePng(treeFavourite(false), assetsDir, QStringLiteral("tree/favourite.png"));
    savePng(treeFavourite(true), assetsDir, QStringLiteral("tree/favourite_selected.png"));
    savePng(favouriteMark(), assetsDir, QStringLiteral("main/favourite.png"));
}

void drawAppIcon(const QString &assetsDir)
{
    // 64 is the windows' own icon; with the others it makes the menu icon
    // set of the installed program.
    for (int size : {16, 32, 48, 64, 128, 256})
        savePng(appIcon(size), assetsDir, QStringLiteral("app/icon%1.png").arg(size));
}
