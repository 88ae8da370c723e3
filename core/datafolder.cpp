#include "core/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString DatabaseName = QStringLiteral("cate.mdb");

QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// A file, or a link to one, stands at `path` (a broken link counts: it is
// the cook's, and is never replaced).
bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The user's application data folder; Qt builds it from XDG_DATA_HOME or
// the home folder and the application name.
QString userDataFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/share/zaoxiangju");
    return withSlash(QDir::cleanPath(folder));
}

// Makes the data folder and copies the starter database into it when it has
// none. Returns what went wrong, or an empty string.
QString prepare(DataFolder &data, const QString &starter)
{
    const QString database = data.folder + DatabaseName;
    if (!QDir().mkpath(data.folder))
        return QStringLiteral("无法创建数据文件夹 %1").arg(data.folder);
    const QFileInfo folder(data.folder);
    if (!folder.isDir() || !folder.isReadable() || !folder.isWritable() || !folder.isExecutable())
        return QStringLiteral("数据文件夹 %1 不可读写").arg(data.folder);
    // Safety copies but no cate.mdb: not a first start; the cook is asked
    // about the copies instead of getting the starter dishes.
    if (present(database) || !QDir(data.folder + QStringLiteral("备份")).entryList({QStringLiteral("cate-*.mdb")}, QDir::Files).isEmpty())
        return QString();
    if (!QFile::copy(starter, database))
        return QStringLiteral("无法把初始菜谱库 %1 复制到 %2").arg(starter, data.folder);
    // The copy keeps the packaged file's mode; the cook must be able to write it.
    QFile copy(database);
    copy.setPermissions(copy.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    data.seeded = true;
    return QString();
}
} // namespace

DataFolder resolveDataFolder(const QString &executableFolder)
{
    DataFolder data;
    data.folder = withSlash(executableFolder);
    const QString starter = QDir::cleanPath(data.folder + QStringLiteral("../share/zaoxiangju/") + DatabaseName);
    // Installed, a cate.mdb put beside the program is never used: it would
    // stand for every user's recipes, and could not be written.
    if (!QFileInfo(starter).isFile())
        return data;
    data.installed = true;
    data.folder = userDataFolder();
    data.problem = prepare(data, starter);
    return data;
}
