// Files whose names are no UTF-8 (GBK names written by Chinese Windows, on
// a disk or a stick): Qt names files in UTF-8 and cannot open them. Each is
// reached through a link, named in what its bytes say in GB18030, in a
// scratch folder kept with the reading.
#include "exchange/importformats.h"
#include "exchange/importsources.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <dirent.h>
#include <unistd.h>

namespace ImportFormats {

namespace {

QString readableName(const QByteArray &bytes)
{
    QString name;
    if (!fromLegacy(bytes, "GB18030", &name))
        name = fromCp437(bytes);
    return name.replace(u'/', u'_');
}

// A link to `target` named `name` in a folder of its own under `links`.
QString linkTo(const QByteArray &target, const QString &name, std::shared_ptr<QTemporaryDir> &links)
{
    if (!links)
        links = std::make_shared<QTemporaryDir>();
    if (!links->isValid())
        return QString();
    const QString folder = links->filePath(QString::number(QDir(links->path()).count()));
    const QString link = folder + u'/' + name;
    if (!QDir().mkpath(folder) || ::symlink(target.constData(), QFile::encodeName(link).constData()) != 0)
        return QString();
    return link;
}

} // namespace

QFileInfoList rawNamedEntries(const QString &folder, std::shared_ptr<QTemporaryDir> &links)
{
    QFileInfoList found;
    const QByteArray path = QFile::encodeName(QDir(folder).absolutePath());   // a link's target: absolute
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (isUtf8(name))
            continue;
        const QString link = linkTo(path + '/' + name, readableName(name), links);
        if (!link.isEmpty())
            found.append(QFileInfo(link));
    }
    ::closedir(dir);
    return found;
}

} // namespace ImportFormats

QString reachablePath(const QByteArray &raw, std::shared_ptr<QTemporaryDir> &links)
{
    using namespace ImportFormats;
    if (isUtf8(raw))
        return QFile::decodeName(raw);
    const QByteArray absolute = raw.startsWith('/') ? raw : QFile::encodeName(QDir::currentPath()) + '/' + raw;
    const qsizetype slash = absolute.lastIndexOf('/');
    const QString link = linkTo(absolute, readableName(absolute.mid(slash + 1)), links);
    return link.isEmpty() ? QFile::decodeName(raw) : link;
}
