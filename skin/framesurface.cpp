#include "skin/framesurface.h"
#include "skin/twips.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

namespace {
const QColor BackColour(250, 250, 250);
const QColor ForeColour(31, 96, 169);
const QColor ShadowColour(151, 169, 193);

void drawSkinPieces(QPainter &p, const QImage &skin, double W, double H)
{
    const qreal sr = skin.devicePixelRatio();
    const QSizeF skinSize = skin.deviceIndependentSize();
    const double PW = Twips::fromPx(qRound(skinSize.width()));
    const double PH = Twips::fromPx(qRound(skinSize.height()));
    auto piece = [&](double sx, double sy, double sw, double sh, double dx, double dy, double dw, double dh) {
        const QRect source = Twips::rect(sx, sy, sw, sh);
        p.drawImage(QRectF(Twips::rect(dx, dy, dw, dh)), skin,
                    QRectF(source.x() * sr, source.y() * sr, source.width() * sr, source.height() * sr));
    };
    piece(420, 0, 120, 600, 420, 0, W, 600);                      // title slice
    piece(420, PH - 600, 120, 600, 420, H - 600, W, 600);         // bottom slice
    piece(0, 880, 200, 40, 0, 0, 200, H);                         // left edge
    piece(PW - 200, 880, 200, 40, W - 200, 0, 200, H);            // right edge
    piece(0, 0, 450, 600, 0, 0, 450, 600);                        // top-left corner
    piece(0, PH - 600, 450, 600, 0, H - 600, 450, 600);           // bottom-left corner
    piece(PW - 1665, 0, 1665, 435, W - 1665, 0, 1665, 435);       // top-right piece
    piece(PW - 1665, PH - 525, 1665, 525, W - 1665, H - 525, 1665, 525); // bottom-right
}

// How much a face with no bold of its own is thickened for a bold caption:
// the outline drawn with a pen this wide (in pixels of the window) round it.
constexpr double SyntheticBold = 0.7;

// The caption drawn from the face's outlines, smoothed: a face's own bold
// as it is, a face without one thickened round its outline. (The hand-drawn
// bitmaps a Song face carries for small sizes smudge when they are made
// bold, and a synthetic bold is not made at every density.)
void drawCaption(QPainter &p, const QPointF &baseline, const QString &caption, const QFont &font, const QColor &colour)
{
    QFont outline = font;
    outline.setStyleStrategy(QFont::PreferOutline);
    QPainterPath path;
    path.addText(baseline, outline, caption);
    const bool ownBold = !font.bold() || QRawFont::fromFont(outline).styleName().contains(QLatin1String("Bold"), Qt::CaseInsensitive);
    p.setPen(ownBold ? QPen(Qt::NoPen) : QPen(colour, SyntheticBold, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(path);
}

// A design place in twips, on the window's pixel grid at its density.
double onGrid(double twips, qreal ratio) { return std::round(twips / Twips::PerPixel * ratio) / ratio; }
} // namespace

// Painted at the window's pixel density, from the skin drawn for it, so a
// dense screen shows the frame's own fine pixels rather than enlarged ones.
QImage drawFrameSurface(const FrameLook &look)
{
    QImage surface(look.size * look.ratio, QImage::Format_RGB32);
    if (surface.isNull())
        return surface;
    surface.setDevicePixelRatio(look.ratio);
    QPainter p(&surface);
    p.fillRect(QRect(QPoint(0, 0), look.size), BackColour);
    if (!look.skin.isNull())
        drawSkinPieces(p, look.skin, Twips::fromPx(look.size.width()), Twips::fromPx(look.size.height()));
    if (!look.icon.isNull()) {
        const qreal ir = look.icon.devicePixelRatio();
        const QRect source = Twips::rect(0, 0, 240, 240);
        p.drawImage(QRectF(Twips::rect(240, 100, 240, 240)), look.icon,
                    QRectF(0, 0, source.width() * ir, source.height() * ir));
    }

    // The caption twice: a light shadow, then the caption itself 10 twips
    // right of and below it (a pixel of the screen, at any density). The
    // text position is the top of the text. The shadow is drawn in whole
    // pixels, so that its light edge stays crisp beside the smoothed caption.
    const int ascent = QFontMetrics(look.font).ascent();
    drawCaption(p, QPointF(onGrid(530, look.ratio), onGrid(110, look.ratio) + ascent), look.caption, look.font,
                ShadowColour);
    p.setRenderHint(QPainter::Antialiasing);
    drawCaption(p, QPointF(onGrid(540, look.ratio), onGrid(120, look.ratio) + ascent), look.caption, look.font,
                ForeColour);
    return surface;
}
