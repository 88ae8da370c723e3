#include "core/summaryfile.h"

#include <QFile>
#include <QSaveFile>

#include <vector>

QByteArray catalogueSummary(const CatalogueData &data)
{
    // Counted by the spelling the dishes carry, then added up by group.
    const CategoryGroups groups(data.categories);
    std::vector<qsizetype> perSpelling(size_t(data.dishCategories().size()), 0);
    for (qsizetype row = 0; row < data.dishCount(); ++row)
        ++perSpelling[size_t(data.categoryOf(row))];
    std::vector<qsizetype> counts(size_t(groups.count()), 0);
    for (qsizetype i = 0; i < data.dishCategories().size(); ++i) {
        const int group = groups.listedGroup(data.dishCategories().at(i));
        if (group >= 0)
            counts[size_t(group)] += perSpelling[size_t(i)];
    }
    // Every row of "02", a name listed twice each time; no "未分类".
    QByteArray summary;
    for (const QString &name : data.categories) {
        summary += name.toUtf8();
        summary += " = ";
        summary += QByteArray::number(counts[size_t(groups.listedGroup(name))]);
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
