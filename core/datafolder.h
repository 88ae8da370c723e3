#pragma once
// Where the recipes live: the folder that holds cate.mdb and temp.txt,
// decided once, first thing at start-up. QtCore only.
//
// - Portable: cate.mdb in the executable's folder. This is the rule
//   whenever the program does not run from an installed package, also
//   when no cate.mdb is there (the tree is then empty).
// - Installed: the executable sits in an installed layout (the starter
//   database at ../share/zaoxiangju/cate.mdb beside its folder); a cate.mdb
//   in its own folder is never used. The recipes then live in the user's
//   application data folder (~/.local/share/zaoxiangju/), created and
//   seeded with the starter database on the first start. A cate.mdb already
//   there is never overwritten, and nothing is written into the installed
//   program's folders.
#include <QString>

struct DataFolder {
    QString folder;      // holds cate.mdb and temp.txt; ends in '/'
    bool installed = false;
    bool seeded = false; // the starter database was copied in just now
    QString problem;     // why the folder is unusable; empty when all is well
};

DataFolder resolveDataFolder(const QString &executableFolder);
