#pragma once
// Safety copies of cate.mdb, made before the program changes or loses
// recipes: a consistent copy (SQLite's online backup, so a copy taken while
// another program writes is still a whole database) in the folder "备份"
// beside the file. The caller makes the copy first and leaves the file
// alone when the copy fails.
//
// Names tell when and why a copy was made (local time):
//   cate-20261208-153012.mdb            before the first edit of a day
//   cate-20261208-153012-删除分类.mdb    before a category and its dishes were deleted
//   cate-20261208-153012-删除菜谱.mdb    before one dish was deleted
//   cate-20261208-153012-导入.mdb        before an import
//   cate-20261208-153012-恢复前.mdb      before an older copy was put back
//   cate-20261208-153012-损坏.mdb        a damaged file set aside before a
//                                        copy was put in its place (with its
//                                        -journal, -wal and -shm, if any)
//   cate-20261208-153012-Access.mdb     an old catalogue in the Jet (Access)
//                                        format, byte for byte, before it was
//                                        converted (restored, it is converted
//                                        again)
// A second copy within the same second gets "-2", "-3", ... after the time
// (cate-20261208-153012-2-删除分类.mdb). While a copy is being written it is
// named as it will be plus ".part", and renamed when it is complete and on
// disk.
//
// Which copies stay: edit copies of the last 14 days (today and the 13
// before), the first of each day; and of every other kind its last 20.
// Older ones are removed after every copy made. Only files whose names have
// exactly the shapes above are ever removed; everything else in the folder
// is left alone.
#include "store/recipestore.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <vector>

namespace Backup {

enum class Reason {
    Edit,              // before the first change of a day
    CategoryDeletion,  // before a category and all its dishes are deleted
    DishDeletion,      // before one dish is deleted
    Import,            // before recipes are imported
    Restore,           // before the file is replaced by an older copy
    Damaged,           // the file itself, set aside when it could not be used
    Access             // an old Jet catalogue as it was, before its conversion
};

// How many copies the rule keeps.
constexpr int EditDays = 14;
constexpr int DeletionCopies = 20;

// The folder "备份" beside the database file.
QString folderOf(const QString &databasePath);

// The name of a copy made at `when` (local time); `serial` 1 is the first
// of its second.
QString copyName(const QDateTime &when, Reason reason, int serial = 1);

// Copies the database into folderOf(databasePath) as made at `now`, then
// removes the copies the rule no longer keeps. An edit copy is made once a
// day: asked again the same day, the day's copy is handed back and nothing
// is copied. The copy's path; a
// missing source is Missing, a source that is no database NotADatabase, a
// source locked by another program Busy, and a folder that cannot be made
// or written, or a full disk, NoBackup.
StoreResult<QString> makeCopy(const QString &databasePath, Reason reason, const QDateTime &now);

// makeCopy in two steps, for a copy begun before it is known to be wanted:
// the whole copy written and synced under a name ending in ".part" (the
// part's path; `stop`, when set, ends the copy early and it fails), then put
// in place under its own name and the rule applied (the copy's path). A
// part never finished is removed by the caller, or by prune once stale.
StoreResult<QString> copyToPart(const QString &databasePath, Reason reason, const QDateTime &now,
                                const std::atomic<bool> *stop = nullptr);
StoreResult<QString> finishCopy(const QString &databasePath, const QString &part, const QDateTime &now);

// Copies the file byte for byte (an old Jet catalogue, which SQLite cannot
// copy) into folderOf(databasePath) as an Access copy made at `now`: under
// ".part", synced, then renamed; then the rule is applied. The copy's path;
// Missing or NoBackup.
StoreResult<QString> copyOriginal(const QString &databasePath, const QDateTime &now);

// Moves the database file, with the journal or write-ahead log beside it,
// into folderOf(databasePath) as a Damaged copy made at `now`, then applies
// the rule. The copy's path; NoBackup when the folder cannot be made or the
// file cannot be moved (it then stays where it was).
StoreResult<QString> setAside(const QString &databasePath, const QDateTime &now);

// Whether folderOf(databasePath) holds any copy of ours (none is opened).
[[nodiscard]] bool hasCopies(const QString &databasePath);

// Whether an edit copy dated `day` is there already: the copy before the
// first edit of the day is made only when it is not.
[[nodiscard]] bool hasEditCopy(const QString &databasePath, const QDate &day);

// A copy as a restore lists it.
struct CopyInfo {
    QString path;
    QDateTime when;           // local time, from its name
    Reason reason = Reason::Edit;
    qint64 dishes = -1;       // when it is a readable catalogue
    qint64 categories = -1;
    QString problem;          // why it is not one; empty when it is
};
// Every copy of ours in folderOf(databasePath), newest first.
std::vector<CopyInfo> listCopies(const QString &databasePath);
// The newest of them that is a usable recipe database, if any.
std::optional<CopyInfo> newestUsableCopy(const QString &databasePath);

// Puts the copy in place of the database: first into a temporary file
// beside it (an Access copy converted), checked, then written through SQLite into the database file
// itself, so a program that has it open sees the change (a missing
// database gets the checked file under its name). A failure on the way
// leaves the database as it was.
StoreStatus restoreCopy(const QString &databasePath, const QString &copyPath);

// Removes the copies the rule no longer keeps, as of `now`; the names of
// the files removed.
QStringList prune(const QString &databasePath, const QDateTime &now);

} // namespace Backup
