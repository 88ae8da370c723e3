#include "core/fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

QFont songFont(double pointSize, bool bold)
{
    // The first of these that is installed is used. Given as a list rather
    // than looked up here: asking the font database whether a family exists
    // would wait here until every installed font is read (readFontsAhead),
    // where the first text laid out waits for it anyway.
    static const QStringList families{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                      QStringLiteral("AR PL UMing CN")};
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

std::thread readFontsAhead()
{
    // The font database may be used from any thread; the first use reads
    // every installed font. Which installed fonts stand in for ours in
    // Chinese and in Latin text, regular and bold, is then found once here
    // for every thread: the first text laid out on the main thread would
    // otherwise ask fontconfig for each.
    return std::thread([] {
        static_cast<void>(QFontDatabase::families());
        for (const bool bold : {false, true})
            static_cast<void>(QFontMetrics(songFont(9, bold)).horizontalAdvance(QStringLiteral("菜谱 Ab")));
    });
}
