#include "core/filestamp.h"

#include "store/sqlite.h"

#include <QFile>
#include <sys/stat.h>

namespace {
bool statFile(const QString &path, struct stat &st)
{
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}
qint64 nanoseconds(const struct stat &st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}
} // namespace

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    struct stat st {};
    if (!statFile(path, st))
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedNs = nanoseconds(st);
    // Read beside the catalogue's connections: through the engine's layer.
    stamp.header = Sql::readFileStart(path, 100);
    if (statFile(path + QStringLiteral("-wal"), st)) {
        stamp.walSize = st.st_size;
        stamp.walModifiedNs = nanoseconds(st);
    }
    return stamp;
}

qint64 FileStamp::changeCounter() const
{
    if (header.size() < 28)
        return -1;
    const auto byte = [this](int i) { return quint32(quint8(header[i])); };
    return qint64((byte(24) << 24) | (byte(25) << 16) | (byte(26) << 8) | byte(27));
}

bool FileStamp::follows(const FileStamp &earlier) const
{
    return exists && earlier.exists && device == earlier.device && inode == earlier.inode && walSize <= 0
           && earlier.walSize <= 0 && earlier.changeCounter() >= 0
           && changeCounter() == ((earlier.changeCounter() + 1) & 0xffffffff);
}
