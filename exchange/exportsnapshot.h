#pragma once
// What an export writes, taken from both tables read at one moment: the
// categories as the tree lists them, each with its dishes in the tree's
// order, and the dishes of a category the table does not list under
// "未分类", last.
#include "exchange/exportcookbook.h"
#include "store/cataloguedata.h"
#include "store/recipestore.h"

inline const QString AllRecipesTitle = QStringLiteral("全部菜谱");

// Every dish (`category` empty), or the dishes of one category (trimmed; the
// heading "未分类" when no listed category has that name). Picture paths
// are resolved against the data folder. nullopt when the category is not
// in the tree.
std::optional<ExportSnapshot> makeSnapshot(const ExportRows &rows, const QString &category,
                                           const QString &dataFolder, const QDate &date);

// "已导出 N 道美食到 <path>。", with "（M 张图片找不到）" when pictures were missing.
QString exportDoneText(const ExportOutcome &outcome, const QString &path);
