#include "core/fonts.h"

#include "core/background.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <algorithm>

namespace {
// The screens' logical dots per inch when small Song text is drawn from the
// fonts' bitmaps; 0 when all text is smoothed.
double g_bitmapDpi = 0.0;
constexpr int SmallestBitmap = 12;
constexpr int LargestBitmap = 16;
} // namespace

void chooseSongRendering(double logicalDpi, double devicePixelRatio)
{
    g_bitmapDpi = devicePixelRatio == 1.0 && logicalDpi > 0 ? logicalDpi : 0.0;
}

void chooseSongRenderingForScreens()
{
    // One density for every screen, or a window moved between them would
    // change its look.
    const QList<QScreen *> screens = QGuiApplication::screens();
    double dpi = screens.isEmpty() ? 0.0 : screens.first()->logicalDotsPerInchY();
    double ratio = 1.0;
    for (const QScreen *screen : screens) {
        if (screen->logicalDotsPerInchY() != dpi)
            dpi = 0.0;
        ratio = std::max(ratio, screen->devicePixelRatio());
    }
    chooseSongRendering(dpi, ratio);
}

QFont songFont(double pointSize, bool bold)
{
    // The first of these that is installed is used. Given as a list rather
    // than looked up here: asking the font database whether a family exists
    // would read every installed font before the first window is made.
    static const QStringList families{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                      QStringLiteral("AR PL UMing CN")};
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    // Qt draws a face's own bitmaps only when it does not smooth the text.
    const double dpi = g_bitmapDpi;
    const int pixels = qRound(pointSize * dpi / 72.0);
    if (dpi > 0 && pixels >= SmallestBitmap && pixels <= LargestBitmap)
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFuture<void> readFontsAhead()
{
    // The font database may be used from any thread; its first use reads
    // every installed font.
    return Background::start([] {
        static_cast<void>(QFontDatabase::families());
        for (const bool bold : {false, true})
            static_cast<void>(QFontMetrics(songFont(9, bold)).horizontalAdvance(QStringLiteral("菜谱 Ab")));
    });
}
