#pragma once
// The order dishes stand in within a category, wherever they are listed (the
// tree, a cookbook): Pinyin order for Chinese names (the zh_CN collation of
// ICU); digits by their value, Latin letters in alphabetical order, before
// the Han. Names that collate alike keep a fixed order by their code units.
#include <QCollator>
#include <QString>
#include <QVector>

#include <functional>

const QCollator &dishNameCollator();
bool dishNameLess(const QString &a, const QString &b);
// Puts `items` in name order (stable: items of one name keep their order);
// `nameOf` gives an item's name, read once per item.
void sortByDishName(QVector<int> &items, const std::function<QString(int)> &nameOf);
