// The program's entry.
#include "app/fonts.h"
#include "app/module1.h"
#include "web/webengine.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char **argv)
{
    prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zaoxiangju"));
    // No application display name: on X11 Qt would append it to every
    // window title, and each window's caption must read exactly as designed.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/icon64.png")));
    QApplication::setFont(songFont(9));
    // Qt's own dialogs and buttons (printer dialog, file chooser, message
    // boxes, context menus) speak simplified Chinese like the rest.
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtChinese);
    Module1::Main();
    return app.exec();
}
