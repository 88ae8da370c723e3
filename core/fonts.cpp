#include "core/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <fontconfig/fontconfig.h>

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

std::thread readFontConfigurationAhead()
{
    // Most of the time the font database takes to be read goes into the
    // system's configuration (fontconfig's files), which needs no
    // application object. Read once per process: the font database's own
    // first read finds it done.
    return std::thread([] { FcInit(); });
}

std::thread readFontsAhead(std::thread configuration)
{
    // The font database may be used from any thread; the first use reads
    // every installed font.
    return std::thread([configuration = std::move(configuration)]() mutable {
        if (configuration.joinable())
            configuration.join();
        static_cast<void>(QFontDatabase::families());
    });
}
