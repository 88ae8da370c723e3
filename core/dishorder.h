#pragma once
// The order dishes stand in within a category, wherever they are listed (the
// tree, a cookbook): symbols first, then digits by their value, then Chinese
// by pinyin, each character by the reading it has in the name (the word
// list of store/pinyintable.h: 长寿面 under c, 重庆 as chong), then Latin
// letters in alphabetical order, either case alike. Names that sort alike
// keep a fixed order by their code units.
#include <QString>
#include <QVector>

#include <functional>
#include <string>

// What names are sorted by: compared as bytes.
std::string dishSortKey(const QString &name);
bool dishNameLess(const QString &a, const QString &b);
// Puts `items` in name order (stable: items of one name keep their order);
// `nameOf` gives an item's name, read once per item.
void sortByDishName(QVector<int> &items, const std::function<QString(int)> &nameOf);
