#pragma once
// Before anything else at start: when cate.mdb is missing or no readable
// catalogue and "备份" beside it holds a readable safety copy, the cook is
// asked whether to bring back the newest. A damaged file is kept beside
// it as "cate.mdb.损坏-<date>-<time>".
#include <QString>

// `dataFolder` ends in '/'. True when a copy was put in place.
bool offerRestoreAtStart(const QString &dataFolder);
