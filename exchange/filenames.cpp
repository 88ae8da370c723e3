// File names made from dish names: safe on every system the cookbook may be
// carried to, and unique within their folder.
#include "exchange/exportcookbook.h"

#include <QRegularExpression>

namespace {

constexpr int MaxNameBytes = 200;

bool forbidden(QChar c)
{
    static const QString Forbidden = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7f || Forbidden.contains(c);
}

// Cut at a character boundary so that the UTF-8 form keeps within `bytes`.
QString cutToBytes(const QString &text, int bytes)
{
    QString out;
    int used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
        const QString piece = text.mid(i, pair ? 2 : 1);
        const int size = int(piece.toUtf8().size());
        if (used + size > bytes)
            break;
        out += piece;
        used += size;
        if (pair)
            ++i;
    }
    return out;
}

QString cleaned(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name)
        out += forbidden(c) ? QChar(u'_') : c;
    out = out.trimmed();
    while (out.startsWith(QLatin1Char('.')))
        out.remove(0, 1);
    while (out.endsWith(QLatin1Char('.')) || out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    if (out.isEmpty())
        return QStringLiteral("菜谱");
    // Names Windows keeps for its devices, with or without an extension.
    static const QRegularExpression Device(QStringLiteral("^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\\..*)?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch device = Device.match(out);
    if (device.hasMatch())
        out.insert(device.capturedLength(1), QLatin1Char('_'));
    return out;
}

// A name cut short may end in a space or a dot, which Windows drops.
QString cutName(const QString &name, int bytes)
{
    QString out = cutToBytes(name, bytes);
    while (out.size() > 1 && (out.endsWith(QLatin1Char('.')) || out.endsWith(QLatin1Char(' '))))
        out.chop(1);
    return out;
}

} // namespace

QString safeFileName(const QString &name, QSet<QString> &used)
{
    const QString base = cleaned(name);
    QString candidate = cutName(base, MaxNameBytes);
    for (int n = 2; used.contains(candidate.toLower()); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        candidate = cutName(base, MaxNameBytes - int(suffix.toUtf8().size())) + suffix;
    }
    used.insert(candidate.toLower());
    return candidate;
}
