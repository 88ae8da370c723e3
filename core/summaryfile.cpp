#include "core/summaryfile.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <vector>

QByteArray catalogueSummary(const CatalogueData &data)
{
    QHash<QString, qsizetype> counts;
    counts.reserve(data.categories.size());
    for (const QString &name : data.categories)
        counts.insert(name, 0);
    // Counted by the spelling the dishes carry, then added up by name.
    std::vector<qsizetype> perSpelling(size_t(data.dishCategories().size()), 0);
    for (qsizetype row = 0; row < data.dishCount(); ++row)
        ++perSpelling[size_t(data.categoryOf(row))];
    for (qsizetype i = 0; i < data.dishCategories().size(); ++i) {
        const auto it = counts.find(data.dishCategories().at(i));
        if (it != counts.end())
            *it += perSpelling[size_t(i)];
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

bool writeSummaryFile(const QString &path, const QByteArray &bytes, QString *error)
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
