// The skin pictures of the framed windows: the two 150 x 155 frame
// templates, the nine 17 x 16 caption-button state pictures and the 16 x 16
// window icon.
//
// The frame template is drawn against the very window region the frame
// cuts at run time (the same rectangles and ellipses, the same rounding), so
// the outline of the blue frame lies exactly on the region's edge; the blue
// also runs two pixels past it, so only blue or white ever falls inside the
// region, and the red surround stays outside at every window size.
#include "art.h"
#include "skin/region.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int SkinW = 150;
constexpr int SkinH = 155;
// Top-right piece: its left edge in the skin, and the places of the three
// caption glyphs within it (38, 59 and 80 pixels right, 8 down).
constexpr int TopRightLeft = SkinW - 111;
constexpr int GlyphTop = 8;
constexpr int GlyphLeft[3] = {TopRightLeft + 38, TopRightLeft + 59, TopRightLeft + 80};

const QColor Surround(255, 0, 0);
const QColor Outline(24, 62, 128);
const QColor Panel(250, 250, 250);

enum class Glyph { Minimise, Maximise, Close, Restore };


// Distance of every pixel of a w x h picture from the region's edge: 1 for
// the outermost pixels inside, growing inwards; 0 outside; capped at `cap`.
std::vector<int> edgeDistance(const QRegion &region, int w, int h, int cap)
{
    std::vector<int> d(w * h, 0);
    auto at = [&](int x, int y) -> int {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return 0;
        return d[y * w + x];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d[y * w + x] = region.contains(QPoint(x, y)) ? cap : 0;
    // The window's own edges count as outside too (the region is clipped by
    // the window), except the top-right ellipse's overhang, which is not
    // visible anyway.
    for (int layer = 1; layer < cap; ++layer) {
        std::vector<int> next = d;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (d[y * w + x] != cap)
                    continue;
                const bool touches = at(x - 1, y) == layer - 1 || at(x + 1, y) == layer - 1
                                     || at(x, y - 1) == layer - 1 || at(x, y + 1) == layer - 1
                                     || at(x - 1, y - 1) == layer - 1 || at(x + 1, y + 1) == layer - 1
                                     || at(x - 1, y + 1) == layer - 1 || at(x + 1, y - 1) == layer - 1;
                if (touches)
                    next[y * w + x] = layer;
            }
        d = std::move(next);
    }
    return d;
}

// The region grown by `by` pixels in every direction (a diamond's reach).
QRegion grown(const QRegion &region, int by)
{
    QRegion out = region;
    for (int dy = -by; dy <= by; ++dy)
        for (int dx = -by; dx <= by; ++dx)
            if ((dx || dy) && std::abs(dx) + std::abs(dy) <= by)
                out += region.translated(dx, dy);
    return out;
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Draws a caption glyph into the 17 x 16 box whose top-left is `origin`.
void drawGlyph(QPainter &p, QPointF origin, Glyph glyph, const QColor &ink, const QColor &ground)
{
    p.save();
    p.translate(origin);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (glyph) {
    case Glyph::Minimise:
        p.fillRect(QRect(5, 10, 7, 2), ink);
        break;
    case Glyph::Maximise:
        p.fillRect(QRect(4, 3, 9, 2), ink);      // thick top edge: a title bar
        p.fillRect(QRect(4, 3, 1, 9), ink);
        p.fillRect(QRect(12, 3, 1, 9), ink);
        p.fillRect(QRect(4, 11, 9, 1), ink);
        break;
    case Glyph::Close: {
        p.setRenderHint(QPainter::Antialiasing, true);
        QPen pen(ink, 1.9, Qt::SolidLine, Qt::SquareCap);
        p.setPen(pen);
        p.drawLine(QPointF(5.5, 4.5), QPointF(11.5, 10.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(5.5, 10.5));
        break;
    }
    case Glyph::Restore:
        // The window behind, then the window in front over it.
        p.fillRect(QRect(7, 2, 7, 2), ink);
        p.fillRect(QRect(13, 2, 1, 7), ink);
        p.fillRect(QRect(11, 8, 3, 1), ink);
        p.fillRect(QRect(3, 6, 8, 6), ground);
        p.fillRect(QRect(3, 5, 8, 2), ink);
        p.fillRect(QRect(3, 5, 1, 7), ink);
        p.fillRect(QRect(10, 5, 1, 7), ink);
        p.fillRect(QRect(3, 11, 8, 1), ink);
        break;
    }
    p.restore();
}

QImage drawFrame(bool threeButtons)
{
    // At density 2 the window's region is the same shape in the same
    // coordinates, so on the screen each of its pixels is a 2 x 2 block. The
    // band follows the shape drawn on the finer pixels, so its curves are
    // smooth; the outline colour also fills every pixel of the blocky
    // outline the screen really cuts, so no red ever shows inside it.
    const int s = artScale();
    const int w = SkinW * s, h = SkinH * s;
    const QRegion region = framedWindowShape(SkinW, SkinH);
    const QRegion fine = framedWindowShape(SkinW, SkinH, s);
    const QRegion cut = s == 1 ? region : QTransform::fromScale(s, s).map(region);
    constexpr int Cap = 7;
    // Six layers of band at density 1, each s pixels wide at density s.
    const int cap = (Cap - 1) * s + 1;
    const std::vector<int> d = edgeDistance(fine, w, h, cap);
    // Two pixels past the region's edge are still frame blue.
    const QRegion outline = grown(fine, 2 * s) + cut;

    // The band: outline, a light rim, blue body, a dark inner line, then a
    // pale line where the band meets the panel.
    const QColor band[Cap] = {Outline,           Outline,           QColor(126, 172, 230),
                              QColor(84, 138, 212), QColor(62, 116, 196), QColor(44, 94, 172),
                              QColor(198, 216, 240)};
    // The title area is a pale blue wash fading into the panel.
    const QColor titleTop(214, 229, 247);
    constexpr int TitleBottom = 28;

    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dist = d[y * w + x];
            const double ly = (y + 0.5) / s - 0.5;   // y at density 1
            QColor c;
            if (dist == 0)
                c = outline.contains(QPoint(x, y)) ? Outline : Surround;
            else if (dist < cap)
                c = band[(dist + s - 1) / s];
            else if (ly < TitleBottom)
                c = mix(titleTop, Panel, std::pow(std::max(0.0, ly) / TitleBottom, 0.8));
            else
                c = Panel;
            img.setPixelColor(x, y, c);
        }
    img.setDevicePixelRatio(s);
    auto inner = [&](int x, int y) { return d[(y * s) * w + x * s] >= cap; };

    QPainter p(&img);
    // The raised tab along the top right: hangs from the top band, runs into
    // the right edge, and carries the caption glyphs.
    {
        const QRegion inside = region;
        p.setClipRegion(inside);
        p.setRenderHint(QPainter::Antialiasing, true);
        const int left = threeButtons ? GlyphLeft[0] - 6 : GlyphLeft[2] - 6;
        QPainterPath tab;
        tab.addRoundedRect(QRectF(left + 0.5, -12.5, SkinW + 20 - left, 39), 8, 8);
        // A soft fillet where the tab leaves the top band.
        QPainterPath fillet;
        fillet.moveTo(left - 7, 4.5);
        fillet.quadTo(left + 1, 4.5, left + 1, 12);
        fillet.lineTo(left + 1, 4.5);
        fillet.closeSubpath();
        tab = tab.united(fillet);
        QLinearGradient g(0, 0, 0, 27);
        g.setColorAt(0.0, QColor(110, 160, 226));
        g.setColorAt(0.45, QColor(70, 126, 204));
        g.setColorAt(1.0, QColor(40, 90, 168));
        p.fillPath(tab, g);
        // Raised: a light rim inside, a dark edge outside.
        p.setPen(QPen(QColor(160, 196, 240, 200), 1));
        p.drawPath(tab.translated(1, 1).intersected(tab));
        p.setPen(QPen(Outline, 1));
        p.drawPath(tab);
        p.setClipping(false);
        // Glyphs: white with a faint shadow.
        const int first = threeButtons ? 0 : 2;
        const Glyph glyphs[3] = {Glyph::Minimise, Glyph::Maximise, Glyph::Close};
        for (int i = first; i < 3; ++i) {
            drawGlyph(p, QPointF(GlyphLeft[i] + 1, GlyphTop + 1), glyphs[i], QColor(20, 52, 110, 150),
                      QColor(58, 110, 190));
            drawGlyph(p, QPointF(GlyphLeft[i], GlyphTop), glyphs[i], QColor(255, 255, 255),
                      QColor(64, 118, 198));
        }
    }
    // Grip dots in the bottom-right corner, on the panel.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j) {
            const int x = SkinW - 10 - 3 * j;
            const int y = SkinH - 10 - 3 * (i - j);
            if (!inner(x, y) || !inner(x + 1, y + 1))
                continue;
            p.fillRect(QRect(x + 1, y + 1, 1, 1), QColor(255, 255, 255));
            p.fillRect(QRect(x, y, 1, 1), QColor(120, 150, 190));
        }
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

enum class Look { Hover, Pressed, Resting };

QImage drawStatePicture(Glyph glyph, Look look)
{
    QImage img(17 * artScale(), 16 * artScale(), QImage::Format_ARGB32);
    img.setDevicePixelRatio(artScale());
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QColor ink;
    QColor ground;
    const QRectF box(0.5, 0.5, 16, 15);
    switch (look) {
    case Look::Hover: {
        QLinearGradient g(0, 0, 0, 16);
        g.setColorAt(0, QColor(252, 253, 255));
        g.setColorAt(1, QColor(222, 228, 237));
        p.setPen(QPen(QColor(140, 148, 160), 1));
        p.setBrush(g);
        p.drawRoundedRect(box, 3, 3);
        ink = QColor(88, 94, 104);
        ground = QColor(236, 240, 246);
        break;
    }
    case Look::Pressed: {
        QLinearGradient g(0, 0, 0, 16);
        g.setColorAt(0, QColor(70, 75, 84));
        g.setColorAt(1, QColor(100, 106, 116));
        p.setPen(QPen(QColor(52, 56, 64), 1));
        p.setBrush(g);
        p.drawRoundedRect(box, 3, 3);
        ink = QColor(255, 255, 255);
        ground = QColor(84, 90, 100);
        break;
    }
    case Look::Resting:
        img.fill(QColor(238, 240, 243));
        ink = QColor(110, 116, 126);
        ground = QColor(238, 240, 243);
        break;
    }
    drawGlyph(p, QPointF(0, 0), glyph, ink, ground);
    p.end();
    return img;
}

// The window icon: a steaming cooking pot.
QImage drawIcon()
{
    QImage img(16 * artScale(), 16 * artScale(), QImage::Format_ARGB32);
    img.setDevicePixelRatio(artScale());
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Steam.
    QPen steam(QColor(150, 160, 175, 200), 1.1, Qt::SolidLine, Qt::RoundCap);
    p.setPen(steam);
    for (double x : {5.5, 8.5, 11.5}) {
        QPainterPath s;
        s.moveTo(x, 4.5);
        s.cubicTo(x - 1.4, 3.5, x + 1.4, 2.0, x - 0.2, 0.6);
        p.drawPath(s);
    }
    // Handles.
    p.setPen(QPen(QColor(90, 40, 24), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(0.8, 8.5), QPointF(2.5, 8.5));
    p.drawLine(QPointF(13.5, 8.5), QPointF(15.2, 8.5));
    // Body.
    QLinearGradient body(2, 0, 14, 0);
    body.setColorAt(0, QColor(150, 40, 20));
    body.setColorAt(0.35, QColor(226, 92, 46));
    body.setColorAt(1, QColor(140, 36, 18));
    QPainterPath pot;
    pot.moveTo(2.5, 7.0);
    pot.lineTo(13.5, 7.0);
    pot.lineTo(13.0, 12.0);
    pot.quadTo(12.6, 14.6, 10.0, 14.6);
    pot.lineTo(6.0, 14.6);
    pot.quadTo(3.4, 14.6, 3.0, 12.0);
    pot.closeSubpath();
    p.setPen(QPen(QColor(96, 30, 14), 0.8));
    p.setBrush(body);
    p.drawPath(pot);
    // Lid and knob.
    p.setBrush(QColor(196, 200, 206));
    p.setPen(QPen(QColor(96, 100, 110), 0.8));
    p.drawRoundedRect(QRectF(1.8, 5.6, 12.4, 2.0), 1, 1);
    p.setBrush(QColor(60, 60, 66));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(6.9, 4.2, 2.2, 1.8));
    // A highlight on the body.
    p.setPen(QPen(QColor(255, 190, 150, 170), 0.9));
    p.drawLine(QPointF(5.0, 9.0), QPointF(5.0, 12.2));
    p.end();
    return img;
}

} // namespace

void drawSkinArt(const QString &assetsDir)
{
    savePng(drawFrame(true), assetsDir, QStringLiteral("skin/three.png"));
    savePng(drawFrame(false), assetsDir, QStringLiteral("skin/closeonly.png"));

    savePng(drawStatePicture(Glyph::Minimise, Look::Hover), assetsDir, QStringLiteral("skin/min_hover.png"));
    savePng(drawStatePicture(Glyph::Minimise, Look::Pressed), assetsDir, QStringLiteral("skin/min_pressed.png"));
    savePng(drawStatePicture(Glyph::Maximise, Look::Hover), assetsDir, QStringLiteral("skin/max_hover.png"));
    savePng(drawStatePicture(Glyph::Maximise, Look::Pressed), assetsDir, QStringLiteral("skin/max_pressed.png"));
    savePng(drawStatePicture(Glyph::Close, Look::Hover), assetsDir, QStringLiteral("skin/close_hover.png"));
    savePng(drawStatePicture(Glyph::Close, Look::Pressed), assetsDir, QStringLiteral("skin/close_pressed.png"));
    savePng(drawStatePicture(Glyph::Restore, Look::Resting), assetsDir, QStringLiteral("skin/restore_rest.png"));
    savePng(drawStatePicture(Glyph::Restore, Look::Hover), assetsDir, QStringLiteral("skin/restore_hover.png"));
    savePng(drawStatePicture(Glyph::Restore, Look::Pressed), assetsDir, QStringLiteral("skin/restore_pressed.png"));

    savePng(drawIcon(), assetsDir, QStringLiteral("skin/icon.png"));
}
