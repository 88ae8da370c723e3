// The program's entry.
#include "app/fonts.h"
#include "app/globals.h"
#include "app/module1.h"
#include "core/datafolder.h"
#include "web/webengine.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zaoxiangju"));
    // Installed, the recipes live in the cook's own data folder; the main
    // window takes its data folder from the application folder.
    const DataFolder data = ResolveDataFolder(QCoreApplication::applicationDirPath());
    if (!data.problem.isEmpty())
        qWarning("%s", qUtf8Printable(data.problem));
    if (data.installed)
        App::setApplicationFolder(data.folder);
    // No application display name: on X11 Qt would append it to every
    // window title, and each window's caption must read exactly as designed.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/icon64.png")));
    QApplication::setFont(songFont(9));
    Module1::Main();
    return app.exec();
}
