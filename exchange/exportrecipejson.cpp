// The recipe every cookbook carries in the form other programs read:
// schema.org Recipe JSON, the same in the archive and in the web pages,
// the cook's marks and the lines earlier imports added to the method as
// its fields.
#include "exchange/exportwriters.h"
#include "exchange/importformats.h"
#include "store/marks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <utility>

namespace ExportWriting {

QStringList textLines(const QString &text)
{
    static const QRegularExpression Break(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(Break);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

namespace {

const QString YieldLine = QStringLiteral("份量：");
const QString TimeLine = QStringLiteral("时间：");
const QString SourceLine = QStringLiteral("来源：");

// "【准备】" -> "准备"; empty for any other line.
QString sectionName(const QString &line)
{
    const QString text = line.trimmed();
    if (text.size() > 2 && text.startsWith(QStringLiteral("【")) && text.endsWith(QStringLiteral("】")))
        return text.mid(1, text.size() - 2).trimmed();
    return QString();
}

// The method as schema.org has it: its steps, in sections where it has
// "【…】" headings, and apart from them the lines earlier imports added
// after the steps ("份量：…", "时间：…", "来源：…"), each as its own field.
struct Method {
    QJsonArray steps;
    QString yield, time, source;

    explicit Method(const QString &text)
    {
        QJsonObject section;
        QJsonArray sectionSteps;
        const auto endSection = [&] {
            if (section.isEmpty())
                return;
            section.insert(QStringLiteral("itemListElement"), sectionSteps);
            steps.append(section);
            section = QJsonObject();
            sectionSteps = QJsonArray();
        };
        for (const QString &line : ExportWriting::textLines(text)) {
            const QString trimmed = line.trimmed();
            if (takeField(trimmed))
                continue;
            const QString name = sectionName(line);
            if (!name.isEmpty()) {
                endSection();
                section.insert(QStringLiteral("@type"), QStringLiteral("HowToSection"));
                section.insert(QStringLiteral("name"), name);
                continue;
            }
            QJsonObject step;
            step.insert(QStringLiteral("@type"), QStringLiteral("HowToStep"));
            step.insert(QStringLiteral("text"), line);
            (section.isEmpty() ? steps : sectionSteps).append(step);
        }
        endSection();
    }

private:
    bool takeField(const QString &line)
    {
        const std::pair<const QString *, QString *> fields[] = {{&YieldLine, &yield}, {&TimeLine, &time},
                                                                {&SourceLine, &source}};
        for (const auto &[prefix, field] : fields) {
            if (!line.startsWith(*prefix))
                continue;
            if (field->isEmpty())
                *field = line.mid(prefix->size()).trimmed();
            return true;
        }
        return false;
    }
};

QJsonArray ingredientLines(const QString &text)
{
    QJsonArray lines;
    for (const QString &line : ExportWriting::textLines(text)) {
        if (sectionName(line).isEmpty())
            lines.append(line);
    }
    return lines;
}

// The marks, and what the method's own lines tell beside the steps.
void insertMarks(QJsonObject &recipe, const ExportDish &dish, const Method &method)
{
    if (!dish.tags.isEmpty())
        recipe.insert(QStringLiteral("keywords"), dish.tags.join(QStringLiteral(", ")));
    if (dish.servings > 0)
        recipe.insert(QStringLiteral("recipeYield"), QStringLiteral("%1人份").arg(dish.servings));
    else if (!method.yield.isEmpty())
        recipe.insert(QStringLiteral("recipeYield"), method.yield);
    const QString time = ExportWriting::isoDuration(method.time);
    if (!time.isEmpty())
        recipe.insert(QStringLiteral("totalTime"), time);
    if (!method.source.isEmpty())
        recipe.insert(QStringLiteral("isBasedOn"), method.source);
    if (dish.favourite)
        recipe.insert(QStringLiteral("isFavorite"), true);
}

} // namespace

QByteArray recipeJson(const ExportDish &dish, const QString &image, bool indented)
{
    QJsonObject recipe;
    recipe.insert(QStringLiteral("@context"), QStringLiteral("https://schema.org"));
    recipe.insert(QStringLiteral("@type"), QStringLiteral("Recipe"));
    recipe.insert(QStringLiteral("name"), dish.name);
    if (!dish.category.isEmpty())
        recipe.insert(QStringLiteral("recipeCategory"), dish.category);
    recipe.insert(QStringLiteral("recipeIngredient"), ingredientLines(dish.ingredients));
    const Method method(dish.method);
    recipe.insert(QStringLiteral("recipeInstructions"), method.steps);
    insertMarks(recipe, dish, method);
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

QString tagsLine(const ExportDish &dish)
{
    return dish.tags.isEmpty() ? QString() : QStringLiteral("标签：") + Marks::joinTags(dish.tags);
}

QString isoDuration(const QString &text)
{
    static const QRegularExpression Reads(QStringLiteral("^(?:(\\d+)\\s*天)?\\s*(?:(\\d+)\\s*(?:个?小时|个?钟头))?\\s*"
                                                         "(?:(\\d+)\\s*分钟?)?\\s*(?:(\\d+)\\s*秒钟?)?$"));
    const QRegularExpressionMatch match = Reads.match(text.trimmed());
    if (text.trimmed().isEmpty() || !match.hasMatch())
        return QString();
    QString date, time;
    const char units[] = {'D', 'H', 'M', 'S'};
    for (int part = 1; part <= 4; ++part) {
        const QString number = match.captured(part);
        if (number.isEmpty())
            continue;
        bool ok = false;
        const qint64 value = number.toLongLong(&ok);
        if (!ok)
            return QString();   // a number no digits of ours write
        (part == 1 ? date : time) += QString::number(value) + QLatin1Char(units[part - 1]);
    }
    return QStringLiteral("P") + date + (time.isEmpty() ? QString() : QStringLiteral("T") + time);
}

QString dateText(const QDate &date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

} // namespace ExportWriting
