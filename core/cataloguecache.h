#pragma once
// A copy of the tree's data kept between runs, so that a start on an
// unchanged cate.mdb reads a few megabytes of our own instead of stepping
// through every row of the file. The copy names the exact state of the file
// it was read from (its stamp: identity, size, time, header with the change
// counter); any other state of the file, or a write-ahead log beside it,
// and the copy is not used. It lives in the user's cache folder, one file
// per database path, and may be deleted at any time.
#include "core/filestamp.h"
#include "store/cataloguedata.h"

#include <optional>

namespace CatalogueCache {

// The copy for `storePath`, when one was kept for exactly this state of it.
std::optional<CatalogueData> read(const QString &storePath, const FileStamp &stamp);
// The same from the copy at `copyPath` (pathFor(storePath)); safe on any thread.
std::optional<CatalogueData> readAt(const QString &copyPath, const FileStamp &stamp);
// Keeps `data` as read from `storePath` in the state `stamp`; false when it
// could not be written (nothing else depends on it).
bool write(const QString &storePath, const FileStamp &stamp, const CatalogueData &data);
// Where the copy for `storePath` is kept.
QString pathFor(const QString &storePath);

} // namespace CatalogueCache
