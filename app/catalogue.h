#pragma once
// The catalogue tree of the main window: the rebuild (tree, caption,
// temp.txt) and the dish display.
#include "store/recipestore.h"

// Rebuilds the main window's tree from cate.mdb, sets the caption to
// "灶香居 2004 新春版 当前共有N道美食" and TotalDishes, and writes temp.txt.
// Creates the main window first if it does not exist. On failure (temp.txt
// cannot be written, the store cannot be opened) nothing is changed and the
// error comes back; the caller decides whether to tell the cook.
StoreStatus RebuildCatalogue();

// Where the last successful rebuild spent its time, in nanoseconds: reading
// the store, and everything after it (model, list, view, temp.txt). Read by
// the benchmark.
struct RebuildTiming {
    qint64 storeNs = 0;
    qint64 treeNs = 0;
};
RebuildTiming LastRebuildTiming();

// Shows the dish of this row in the main window (name, ingredients, method,
// picture). A row that no longer exists leaves the display as it was.
void ShowDish(qint64 dishId);
// The same, found by trimmed category and name: the first such row.
void ShowDish(const QString &category, const QString &name);
