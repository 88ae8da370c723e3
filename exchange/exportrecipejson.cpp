// The recipe every cookbook carries in the form other programs read:
// schema.org Recipe JSON, the same in the archive and in the web pages.
#include "exchange/exportwriters.h"
#include "exchange/importformats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace ExportWriting {

QStringList textLines(const QString &text)
{
    static const QRegularExpression Break(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(Break);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray recipeJson(const ExportDish &dish, const QString &image, bool indented)
{
    QJsonObject recipe;
    recipe.insert(QStringLiteral("@context"), QStringLiteral("https://schema.org"));
    recipe.insert(QStringLiteral("@type"), QStringLiteral("Recipe"));
    recipe.insert(QStringLiteral("name"), dish.name);
    if (!dish.category.isEmpty())
        recipe.insert(QStringLiteral("recipeCategory"), dish.category);
    recipe.insert(QStringLiteral("recipeIngredient"), QJsonArray::fromStringList(textLines(dish.ingredients)));
    QJsonArray steps;
    for (const QString &line : textLines(dish.method)) {
        QJsonObject step;
        step.insert(QStringLiteral("@type"), QStringLiteral("HowToStep"));
        step.insert(QStringLiteral("text"), line);
        steps.append(step);
    }
    recipe.insert(QStringLiteral("recipeInstructions"), steps);
    if (!image.isEmpty())
        recipe.insert(QStringLiteral("image"), image);
    // The texts exactly as the catalogue holds them, for this program to
    // read back unchanged (the fields above are cleaned as any page's are).
    QJsonObject own;
    own.insert(QStringLiteral("name"), dish.name);
    own.insert(QStringLiteral("category"), dish.category);
    own.insert(QStringLiteral("ingredients"), dish.ingredients);
    own.insert(QStringLiteral("method"), dish.method);
    recipe.insert(ImportFormats::OwnTexts, own);
    return QJsonDocument(recipe).toJson(indented ? QJsonDocument::Indented : QJsonDocument::Compact);
}

QString dateText(const QDate &date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

} // namespace ExportWriting
