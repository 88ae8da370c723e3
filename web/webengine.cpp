#include "web/webengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QString>
#include <unistd.h>

void prepareWebEngine()
{
    // The web engine is a module loaded when the upgrade window opens. It
    // would like shared GL contexts set up before the application starts,
    // but that set-up doubles start-up time and memory for a window few
    // cooks open; without it the view composes its page in software, which
    // a small page needs no more. Its notes about this are not for the cook.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context,
                                         const QString &message) {
        static const char *const expected[] = {
            "Qt WebEngine seems to be initialized from a plugin",
            "WebEngineContext used before QtWebEngineCore::initialize()",
            "No suitable graphics backend found",
        };
        for (const char *text : expected)
            if (message.startsWith(QLatin1String(text)))
                return;
        if (previous)
            previous(type, context, message);
    });

    // Chromium's sandbox refuses to run as root and the engine's process
    // exits at once; ordinary users keep the sandbox.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    // The engine announces its set-up on the console; keep it quiet. Rules
    // given in QT_LOGGING_RULES still win over this one.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    // Without a runtime folder every Qt program complains about it; use
    // the one Qt would pick itself, made private to the user.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString dir = QDir::tempPath() + QStringLiteral("/runtime-") + QString::number(geteuid());
        if (QDir().mkpath(dir)
            && QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
    }
}
