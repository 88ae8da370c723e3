#include "web/shell.h"

#include <QDesktopServices>

namespace Shell {
void openWebAddress(const QString &address)
{
    QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

void openMailTo(const QString &mailAddress)
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + mailAddress, QUrl::TolerantMode));
}
} // namespace Shell
