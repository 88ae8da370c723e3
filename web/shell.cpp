#include "web/shell.h"

#include <QDesktopServices>

namespace Shell {
bool openWebAddress(const QString &address)
{
    return QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

bool openMailTo(const QString &mailAddress)
{
    return QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + mailAddress, QUrl::TolerantMode));
}
} // namespace Shell
