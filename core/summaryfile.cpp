#include "core/summaryfile.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

QByteArray CatalogueSummary(const CatalogueData &data)
{
    QHash<QString, qsizetype> counts;
    counts.reserve(data.categories.size());
    for (const QString &name : data.categories)
        counts.insert(name, 0);
    for (const DishKey &dish : data.dishes) {
        const auto it = counts.find(dish.category);
        if (it != counts.end())
            ++*it;
    }
    QByteArray summary;
    for (const QString &name : data.categories) {
        summary += name.toUtf8();
        summary += " = ";
        summary += QByteArray::number(counts.value(name));
        summary += "\r\n";
    }
    return summary;
}

bool WriteSummaryFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile inPlace(path);
    if (inPlace.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (inPlace.write(bytes) == bytes.size() && inPlace.flush())
            return true;
        *error = inPlace.errorString();
        return false;
    }
    QSaveFile replace(path);
    if (replace.open(QIODevice::WriteOnly) && replace.write(bytes) == bytes.size() && replace.commit())
        return true;
    *error = replace.errorString();
    return false;
}
