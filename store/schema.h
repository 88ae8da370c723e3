#pragma once
// The layout of a cate.mdb this program makes: table "01" (dishes: id,
// category, 名称, ingredients, method, picture), table "02" (categories:
// id, category) and the index the tree is read from. The starter database
// and a converted old catalogue are both made with it. Plain C++: the
// build's makedb tool includes it too.

namespace Schema {
inline constexpr const char *Tables =
    "CREATE TABLE \"01\" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT, \"名称\" TEXT, ingredients TEXT,"
    " method TEXT, picture TEXT);"
    "CREATE TABLE \"02\" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT);"
    "CREATE INDEX \"01_tree\" ON \"01\"(category, \"名称\", id);";
}
