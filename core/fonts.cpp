#include "core/fonts.h"

#include <QFontDatabase>
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
    // every installed font.
    return std::thread([] { static_cast<void>(QFontDatabase::families()); });
}
