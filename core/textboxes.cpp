#include "core/textboxes.h"

QString toLf(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QString toCrLf(const QString &text)
{
    QString out = toLf(text);
    out.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return out;
}
