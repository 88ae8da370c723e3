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

QString shortenedForMessage(const QString &name)
{
    constexpr qsizetype Shown = 40;
    if (name.size() <= Shown)
        return name;
    // Never cut a character made of two UTF-16 units in half.
    const qsizetype cut = name.at(Shown - 1).isHighSurrogate() ? Shown - 1 : Shown;
    return name.left(cut) + QChar(0x2026);
}
