#pragma once
// The catalogue rebuild, timed the fast way (the program's own, through its
// main window) and done the naive way, for comparison.
#include <QString>

class Catalogue;

namespace Bench {

struct RebuildSplit {
    double storeMs, treeMs;
};

// The catalogue's refresh and the paint of the tree that follows, in
// milliseconds: the store's read and the rest.
RebuildSplit fastRebuild(Catalogue &catalogue);

// The rebuild as first designed, from the file at `path` into the same tree,
// list and caption of the catalogue's main window.
void naiveRebuild(Catalogue &catalogue, const QString &path);

} // namespace Bench
