#pragma once
// Before anything else at start: cate.mdb is looked at once. Busy (another
// program in the middle of a write), the cook is told so and nothing is
// touched. Missing, or no usable catalogue, while "备份" beside it holds a
// readable safety copy, the cook is asked whether to bring one back; the
// restore window then lets them pick which (the damaged file is set aside
// into "备份" when a copy is put in its place).
#include <QString>

// `dataFolder` ends in '/'. True when the cook asked to restore: the
// restore window is to be opened with the newest usable copy selected.
bool offerRestoreAtStart(const QString &dataFolder);
