#include "store/backup.h"

#include "store/jetconvert.h"
#include "store/sqlite.h"
#include "store/storeinternal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <fcntl.h>
#include <optional>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

bool StoreInternal::syncToDisk(const QString &file, const QString &folder)
{
    bool synced = true;
    for (const QString &path : {file, folder}) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        synced = synced && fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
    }
    return synced;
}

namespace Backup {

using StoreInternal::syncToDisk;

namespace {

// The mark each kind of copy carries after its time; an edit copy has none.
const QString &markOf(Reason reason)
{
    static const QString marks[] = {QString(), QStringLiteral("-删除分类"), QStringLiteral("-删除菜谱"),
                                    QStringLiteral("-导入"), QStringLiteral("-恢复前"), QStringLiteral("-损坏"),
                                    QStringLiteral("-Access")};
    return marks[int(reason)];
}
constexpr Reason Reasons[] = {Reason::Edit, Reason::CategoryDeletion, Reason::DishDeletion, Reason::Import,
                               Reason::Restore, Reason::Damaged, Reason::Access};
// What SQLite keeps beside a database file while it writes it: the file and
// these belong together.
const QString Companions[] = {QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};
const QString PartSuffix = QStringLiteral(".part");
// How long an unfinished copy must have lain untouched before it counts as
// left behind by a program that stopped while copying.
constexpr qint64 StalePartSeconds = 3600;

StoreError error(StoreError::Kind kind, const QString &detail)
{
    StoreError e;
    e.kind = kind;
    e.detail = detail;
    return e;
}

// A copy found in the folder, by its name.
struct Copy {
    QString name;
    QDateTime when;
    int serial = 1;
    Reason reason = Reason::Edit;
};

std::optional<Copy> parseName(const QString &name)
{
    static const QRegularExpression shape(QStringLiteral("^cate-(\\d{8})-(\\d{6})(?:-([2-9]|[1-9]\\d{1,5}))?(-[^.-]+)?\\.mdb$"));
    const QRegularExpressionMatch m = shape.match(name);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(m.captured(1), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime::fromString(m.captured(2), QStringLiteral("HHmmss"));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    Copy copy;
    copy.name = name;
    copy.when = QDateTime(date, time);
    copy.serial = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
    for (const Reason reason : Reasons) {
        if (m.captured(4) == markOf(reason)) {
            copy.reason = reason;
            return copy;
        }
    }
    return std::nullopt;   // a name of our shape with a mark of no kind we make
}

std::vector<Copy> copiesIn(const QDir &dir)
{
    std::vector<Copy> copies;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (auto copy = parseName(name))
            copies.push_back(*copy);
    }
    std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) {
        return a.when != b.when ? a.when < b.when : a.serial < b.serial;
    });
    return copies;
}

StoreError copyError(int rc, const QString &message)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return error(StoreError::Busy, message);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return error(StoreError::NotADatabase, message);
    default:   // a full disk, a write refused, an I/O error
        return error(StoreError::NoBackup, message);
    }
}

// Copies every page of `from` into the new file `to` in one read
// transaction of the source: the copy is the database as of one moment.
std::optional<StoreError> copyDatabase(const QString &from, const QString &to, const std::atomic<bool> *stop)
{
    Sql::Connection source;
    int rc = source.open(from, SQLITE_OPEN_READONLY);
    if (rc != SQLITE_OK)
        return copyError(rc, source.errorMessage());
    source.setBusyTimeout(StoreInternal::busyTimeoutMs());
    source.exec("PRAGMA mmap_size=268435456");
    Sql::Connection target;
    rc = target.open(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (rc != SQLITE_OK)
        return error(StoreError::NoBackup, target.errorMessage());
    // The copy is renamed into place only once whole and synced: it needs
    // no journal of its own.
    target.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF");
    sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!backup)
        return error(StoreError::NoBackup, target.errorMessage());
    // A copy that may be stopped goes 16 MiB at a time (should the file
    // change in between, the copy starts again: it is still of one moment).
    if (!stop) {
        rc = sqlite3_backup_step(backup, -1);
    } else {
        while ((rc = sqlite3_backup_step(backup, 4096)) == SQLITE_OK && !stop->load()) {
        }
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        return copyError(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    if (finished != SQLITE_OK)
        return copyError(finished, target.errorMessage());
    return std::nullopt;
}

} // namespace

QString folderOf(const QString &databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("备份"));
}

QString copyName(const QDateTime &when, Reason reason, int serial)
{
    return QStringLiteral("cate-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"))
           + (serial > 1 ? QStringLiteral("-%1").arg(serial) : QString())
           + markOf(reason) + QStringLiteral(".mdb");
}

namespace {
// Where a copy made at `now` goes in the folder, made when missing: the
// first serial of that second that no copy (whole or part) has taken.
StoreResult<QString> freeCopyPath(const QString &databasePath, Reason reason, const QDateTime &now)
{
    const QString folder = folderOf(databasePath);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return error(StoreError::NoBackup, QStringLiteral("cannot make the folder ") + folder);
    const QDateTime local = now.toLocalTime();
    const QDir dir(folder);
    int serial = 1;
    auto taken = [&](const QString &path) { return QFileInfo::exists(path) || QFileInfo::exists(path + PartSuffix); };
    while (taken(dir.filePath(copyName(local, reason, serial))))
        ++serial;
    return dir.filePath(copyName(local, reason, serial));
}
} // namespace

StoreResult<QString> makeCopy(const QString &databasePath, Reason reason, const QDateTime &now)
{
    if (!QFileInfo(databasePath).isFile())
        return error(StoreError::Missing, databasePath);
    if (reason == Reason::Edit) {
        // One edit copy a day: the one from before the day's first edit.
        const QDate day = now.toLocalTime().date();
        for (const Copy &c : copiesIn(QDir(folderOf(databasePath)))) {
            if (c.reason == Reason::Edit && c.when.date() == day)
                return QDir(folderOf(databasePath)).filePath(c.name);
        }
    }
    const StoreResult<QString> part = copyToPart(databasePath, reason, now);
    if (!part)
        return part;
    return finishCopy(databasePath, *part, now);
}

StoreResult<QString> copyToPart(const QString &databasePath, Reason reason, const QDateTime &now,
                                const std::atomic<bool> *stop)
{
    if (!QFileInfo(databasePath).isFile())
        return error(StoreError::Missing, databasePath);
    const StoreResult<QString> name = freeCopyPath(databasePath, reason, now);
    if (!name)
        return name;
    const QString folder = folderOf(databasePath);
    const QString part = *name + PartSuffix;
    if (auto e = copyDatabase(databasePath, part, stop)) {
        QFile::remove(part);
        return *e;
    }
    if (!syncToDisk(part, folder)) {
        QFile::remove(part);
        return error(StoreError::NoBackup, QStringLiteral("cannot write ") + part);
    }
    return part;
}

StoreResult<QString> finishCopy(const QString &databasePath, const QString &part, const QDateTime &now)
{
    const QString folder = folderOf(databasePath);
    const QString target = part.chopped(PartSuffix.size());
    if (!part.endsWith(PartSuffix) || QFileInfo::exists(target) || !QFile::rename(part, target)
        || !syncToDisk(target, folder)) {
        QFile::remove(part);
        return error(StoreError::NoBackup, QStringLiteral("cannot write ") + target);
    }
    prune(databasePath, now);
    return target;
}

StoreResult<QString> copyOriginal(const QString &databasePath, const QDateTime &now)
{
    if (!QFileInfo(databasePath).isFile())
        return error(StoreError::Missing, databasePath);
    const StoreResult<QString> name = freeCopyPath(databasePath, Reason::Access, now);
    if (!name)
        return name;
    const QString part = *name + PartSuffix;
    if (!QFile::copy(databasePath, part) || !syncToDisk(part, folderOf(databasePath))) {
        QFile::remove(part);
        return error(StoreError::NoBackup, QStringLiteral("cannot write ") + part);
    }
    return finishCopy(databasePath, part, now);
}

StoreResult<QString> setAside(const QString &databasePath, const QDateTime &now)
{
    const StoreResult<QString> name = freeCopyPath(databasePath, Reason::Damaged, now);
    if (!name)
        return name;
    const QString folder = folderOf(databasePath);
    const QString &target = *name;
    // The journal first: a file that arrived without it would be read as
    // it stood half-written. On a failure whatever moved goes back.
    bool moved = true;
    for (const QString &companion : Companions) {
        const QString from = databasePath + companion;
        moved = moved && (!QFileInfo::exists(from) || QFile::rename(from, target + companion));
    }
    if (!moved || !QFile::rename(databasePath, target)) {
        for (const QString &companion : Companions)
            QFile::rename(target + companion, databasePath + companion);
        return error(StoreError::NoBackup, QStringLiteral("cannot move ") + databasePath);
    }
    syncToDisk(target, folder);
    prune(databasePath, now);
    return target;
}

bool hasCopies(const QString &databasePath)
{
    return !copiesIn(QDir(folderOf(databasePath))).empty();
}

bool hasEditCopy(const QString &databasePath, const QDate &day)
{
    const std::vector<Copy> copies = copiesIn(QDir(folderOf(databasePath)));
    return std::any_of(copies.begin(), copies.end(),
                       [&](const Copy &c) { return c.reason == Reason::Edit && c.when.date() == day; });
}

QStringList prune(const QString &databasePath, const QDateTime &now)
{
    const QDir dir(folderOf(databasePath));
    const QDate oldestKept = now.toLocalTime().date().addDays(1 - EditDays);
    QStringList doomed;
    std::map<Reason, std::vector<const Copy *>> others;
    const std::vector<Copy> copies = copiesIn(dir);   // oldest first
    QDate lastDay;
    for (const Copy &c : copies) {
        if (c.reason != Reason::Edit) {
            others[c.reason].push_back(&c);
            continue;
        }
        // The first of its day, and no more than EditDays days old.
        if (c.when.date() < oldestKept || c.when.date() == lastDay)
            doomed << c.name;
        lastDay = c.when.date();
    }
    for (const auto &[reason, kind] : others) {
        for (size_t i = 0; i + DeletionCopies < kind.size(); ++i)
            doomed << kind[i]->name;
    }
    // Unfinished copies left behind by a program that stopped while copying.
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-StalePartSeconds);
    for (const QFileInfo &info : dir.entryInfoList({QStringLiteral("*") + PartSuffix}, QDir::Files | QDir::Hidden)) {
        if (parseName(info.fileName().chopped(PartSuffix.size())) && info.lastModified() < stale)
            doomed << info.fileName();
    }
    QStringList removed;
    for (const QString &name : std::as_const(doomed)) {
        if (QFile::remove(dir.filePath(name)))
            removed << name;
        for (const QString &companion : Companions)
            QFile::remove(dir.filePath(name + companion));
    }
    return removed;
}

std::vector<CopyInfo> listCopies(const QString &databasePath)
{
    const QDir dir(folderOf(databasePath));
    std::vector<CopyInfo> listed;
    const std::vector<Copy> copies = copiesIn(dir);
    for (auto c = copies.rbegin(); c != copies.rend(); ++c) {
        CopyInfo info;
        info.path = dir.filePath(c->name);
        info.when = c->when;
        info.reason = c->reason;
        if (c->reason == Reason::Access) {
            const Jet::Contents old = Jet::read(info.path);
            info.dishes = old.dishes.size();
            info.categories = old.categories.size();
            info.problem = old.problem.userText();
            listed.push_back(info);
            continue;
        }
        RecipeStore copy(info.path);
        const StoreResult<qint64> dishes = copy.countDishes();
        const StoreResult<QStringList> categories = copy.listCategories();
        if (dishes && categories) {
            info.dishes = *dishes;
            info.categories = categories->size();
        } else {
            info.problem = (dishes ? categories.error() : dishes.error()).userText();
        }
        listed.push_back(info);
    }
    return listed;
}

std::optional<CopyInfo> newestUsableCopy(const QString &databasePath)
{
    for (CopyInfo &copy : listCopies(databasePath))
        if (copy.problem.isEmpty())
            return std::move(copy);
    return std::nullopt;
}

namespace {
// Writes every page of `from` over the database open at `to`, in one write
// transaction of the target: all of it or nothing.
std::optional<StoreError> writeOver(const QString &from, const QString &to)
{
    Sql::Connection source, target;
    if (source.open(from, SQLITE_OPEN_READONLY) != SQLITE_OK)
        return error(StoreError::NotADatabase, source.errorMessage());
    if (target.open(to, SQLITE_OPEN_READWRITE) != SQLITE_OK)
        return error(StoreError::ReadOnly, target.errorMessage());
    target.setBusyTimeout(StoreInternal::busyTimeoutMs());
    sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!backup)
        return StoreInternal::errorFromCode(sqlite3_errcode(target.handle()), target.errorMessage(), true);
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        return StoreInternal::errorFromCode(rc, QString::fromUtf8(sqlite3_errstr(rc)), true);
    return std::nullopt;
}
} // namespace

StoreStatus restoreCopy(const QString &databasePath, const QString &copyPath)
{
    const QString checked = databasePath + QStringLiteral(".restoring");
    QFile::remove(checked);
    if (Jet::isJetFile(copyPath)) {
        const StoreStatus converted = Jet::convertFile(copyPath, checked);
        if (!converted)
            return converted;
    } else if (auto e = copyDatabase(copyPath, checked, nullptr)) {
        QFile::remove(checked);
        return *e;
    }
    const StoreStatus readable = RecipeStore(checked).probe();
    if (!readable) {
        QFile::remove(checked);
        return readable.error();
    }
    std::optional<StoreError> failed;
    if (!QFileInfo::exists(databasePath)) {
        if (!syncToDisk(checked, QFileInfo(checked).absolutePath()) || !QFile::rename(checked, databasePath))
            failed = error(StoreError::ReadOnly, databasePath);
    } else {
        failed = writeOver(checked, databasePath);
    }
    QFile::remove(checked);
    if (failed)
        return *failed;
    return Done{};
}

} // namespace Backup
