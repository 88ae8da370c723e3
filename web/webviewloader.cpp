#include "web/webviewloader.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

#ifndef ZX_WEBVIEW_BUILD_DIR
#define ZX_WEBVIEW_BUILD_DIR ""
#endif

namespace {
using Factory = QWidget *(*)(QWidget *);

Factory loadFactory(QString *error)
{
    static Factory factory = nullptr;
    static QString failure;
    if (factory || !failure.isEmpty()) {
        if (error)
            *error = failure;
        return factory;
    }
    // Beside the program, or in ../lib/zaoxiangju when installed; test
    // programs, built in a folder below it, find it where the build put it.
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList places{programDir, programDir + QStringLiteral("/../lib/zaoxiangju"),
                             QString::fromUtf8(ZX_WEBVIEW_BUILD_DIR)};
    for (const QString &dir : places) {
        if (dir.isEmpty())
            continue;
        QLibrary module(dir + QStringLiteral("/zx_webview"));
        if (module.load()) {
            factory = reinterpret_cast<Factory>(module.resolve("zxCreateWebView"));
            if (factory)
                return factory;
        }
        failure = module.errorString();
    }
    if (error)
        *error = failure;
    return nullptr;
}
} // namespace

QWidget *createWebView(QWidget *parent, QString *error)
{
    const Factory factory = loadFactory(error);
    return factory ? factory(parent) : nullptr;
}
