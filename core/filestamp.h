#pragma once
// What the catalogue remembers of cate.mdb to notice a change it did not
// make: another program's commit, or the file replaced, deleted or put back.
// Cheap to take: two stats and the 100-byte database header, no connection.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    QByteArray header;      // the first 100 bytes (the change counter lives there)
    qint64 walSize = -1;    // the write-ahead log beside it, -1 when there is none
    qint64 walModifiedNs = 0;

    static FileStamp of(const QString &path);
    // The file's change counter (header bytes 24-27), moved on by every
    // commit made to a file without a write-ahead log; -1 when unknown.
    qint64 changeCounter() const;
    // Whether this is `earlier` after exactly one commit: the same file,
    // no log beside it before or after, the counter one on.
    bool follows(const FileStamp &earlier) const;
    bool operator==(const FileStamp &other) const = default;
};
