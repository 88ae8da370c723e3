// Steps and ingredients as recipe sites write them: a step's name with its
// text, the brackets a recipe plugin doubles.
#include "exchange/importformats.h"

#include <QRegularExpression>

namespace ImportFormats {

QString namedStep(const QString &name, const QString &text)
{
    QString stem = oneLine(name);
    for (const QString &cut : {QStringLiteral("..."), QStringLiteral("…")}) {
        if (stem.endsWith(cut))
            stem = stem.chopped(cut.size()).trimmed();
    }
    if (stem.isEmpty() || oneLine(text).startsWith(stem, Qt::CaseInsensitive))
        return text;
    if (stem.endsWith(u':') || stem.endsWith(u'：'))
        stem.chop(1);
    return stem + QStringLiteral("：") + text.trimmed();
}

QString mendedBrackets(const QString &ingredient)
{
    if (!ingredient.contains(u'(') && !ingredient.contains(u'（'))
        return ingredient;
    static const QRegularExpression Doubled(QStringLiteral("([(（])\\s*[(（]([^()（）]*)[)）]\\s*([)）])"));
    static const QRegularExpression Comma(QStringLiteral("([(（])\\s*[,，、]\\s*"));
    QString out = ingredient;
    out.replace(Doubled, QStringLiteral("\\1\\2\\3"));
    out.replace(Comma, QStringLiteral("\\1"));
    return out;
}

} // namespace ImportFormats
