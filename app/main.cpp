// The program's entry: the data folder and the catalogue first, then the
// windows.
#include "app/commandline.h"
#include "app/startup.h"
#include "core/appinfo.h"
#include "core/catalogue.h"
#include "core/datafolder.h"
#include "core/fonts.h"
#include "core/startconvert.h"
#include "core/startrestore.h"
#include "skin/artwork.h"
#include "web/webengine.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char **argv)
{
    // --import, --export and --help run without any window or display.
    if (const std::optional<int> exitCode = runCommandLine(argc, argv))
        return *exitCode;
    prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zaoxiangju"));
    // No application display name: on X11 Qt would append it to every
    // window title, and each window's caption must read exactly as designed.

    // How small text is drawn is chosen from the screens before any font of
    // ours is made. The windows' face, and Qt's own words (printer dialog,
    // file chooser, message-box buttons, context menus) in simplified
    // Chinese, from the first question on: a question asked at start looks
    // like every later box.
    chooseSongRenderingForScreens();
    QApplication::setFont(songFont(9));
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtChinese);

    // cate.mdb beside the program; installed, in the cook's own data folder.
    // The tree's data is read on a thread of its own while the windows are
    // built.
    const DataFolder data = resolveDataFolder(App::applicationFolder());
    if (!data.problem.isEmpty())
        qWarning("%s", qUtf8Printable(data.problem));
    // A catalogue the first versions kept in the Jet (Access) format is
    // converted first, when the cook agrees; else the program ends here.
    if (offerConversionAtStart(data.folder) == StartConversion::Quit)
        return 0;
    // A missing or unusable cate.mdb with safety copies beside it: the
    // cook may bring one back before anything else.
    const bool restoreAsked = offerRestoreAtStart(data.folder);
    Catalogue catalogue(data.folder);
    catalogue.beginFirstRead();
    // The installed fonts are read in the background meanwhile.
    QFuture<void> fonts = readFontsAhead();

    // Read through Artwork, as every picture of ours: an icon made from a
    // path asks every picture plug-in whether it can read it, loading each.
    QApplication::setWindowIcon(QIcon(Artwork::pixmap(QStringLiteral(":/app/icon64.png"), 1.0)));

    Startup::showStartWindows(catalogue, restoreAsked);
    fonts.waitForFinished();
    return app.exec();
}
