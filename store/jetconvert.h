#pragma once
// An old catalogue (store/jetfile.h) made into one of ours.
#include "store/jetfile.h"
#include "store/recipestore.h"

namespace Jet {

// Writes `contents` as a new catalogue at `target`: the program's own
// layout (store/schema.h), the same columns in the same order, every row of
// both tables with its id and its texts exactly as read (NULL stays NULL),
// in table order. All in one transaction into a file beside `target`,
// synced, then renamed over it; on a failure that file is removed and
// `target` is as it was.
StoreStatus writeCatalogue(const QString &target, const Contents &contents);

// The old catalogue at `from` written as a new one at `target`; the old
// catalogue's trouble as NotADatabase, with its Chinese sentence as detail.
StoreStatus convertFile(const QString &from, const QString &target);

} // namespace Jet
