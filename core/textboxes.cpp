#include "core/textboxes.h"

#include <QTextDocument>

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

QString textOf(const QTextDocument &document)
{
    QString text = document.toRawText();
    for (QChar &c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:   // Shift+Enter
        case 0xfdd0:                 // the beginning and end of a frame
        case 0xfdd1:
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    return text;
}
