#include "web/webengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QString>
#include <unistd.h>

void prepareWebEngine()
{
    // The web engine shares its GL contexts with the widgets; this must be
    // set before the application object is made.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

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
