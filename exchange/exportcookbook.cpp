// Writing a cookbook out: the chosen writer fills a file or folder beside
// the destination, which is renamed into place only once it is whole.
#include "exchange/exportcookbook.h"
#include "exchange/exportwriters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace {

ExportOutcome failed(const QString &error)
{
    ExportOutcome outcome;
    outcome.error = error;
    return outcome;
}

bool emptyFolder(const QString &path)
{
    return QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// A new file or folder beside `out`, hidden, named after it; empty on failure.
QString beginBeside(const QFileInfo &out, bool folder, QString *error)
{
    const QString pattern = out.absolutePath() + QStringLiteral("/.") + out.fileName() + QStringLiteral(".part-XXXXXX");
    if (folder) {
        QTemporaryDir dir(pattern);
        dir.setAutoRemove(false);
        if (dir.isValid())
            return dir.path();
        *error = ExportWriting::writeFailure(out.absolutePath(), dir.errorString());
        return {};
    }
    QTemporaryFile file(pattern);
    file.setAutoRemove(false);
    if (file.open())
        return file.fileName();
    *error = ExportWriting::writeFailure(out.absolutePath(), file.errorString());
    return {};
}

void removeBegun(const QString &path)
{
    if (QFileInfo(path).isDir())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

// Renames over a file, or over an empty folder, in one step. The part was
// made readable by its maker only; the cookbook is for everyone to read.
bool putInPlace(const QString &part, const QString &out, bool folder, QString *error)
{
    const QFileDevice::Permissions readable = QFileDevice::ReadOwner | QFileDevice::WriteOwner
        | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const QFileDevice::Permissions openable = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    QFile::setPermissions(part, folder ? readable | openable : readable);
    std::error_code code;
    std::filesystem::rename(QFile::encodeName(part).toStdString(), QFile::encodeName(out).toStdString(), code);
    if (!code)
        return true;
    *error = ExportWriting::writeFailure(out, QString::fromLocal8Bit(code.message().c_str()));
    return false;
}

ExportOutcome runWriter(ExportFormat format, const ExportSnapshot &snapshot, const QString &part,
                        Progress &progress)
{
    switch (format) {
    case ExportFormat::Pdf:
        return writePdfCookbook(snapshot, part, progress);
    case ExportFormat::Html:
        return writeWebCookbook(snapshot, part, progress);
    case ExportFormat::Json:
        return writeCookbookArchive(snapshot, part, progress);
    }
    return failed(QStringLiteral("未知的导出格式。"));
}

} // namespace

ExportOutcome writeCookbook(ExportFormat format, const ExportSnapshot &snapshot, const QString &out,
                            Progress &progress)
{
    progress.begin(int(snapshot.dishes.size()));
    const QFileInfo target(out);
    const bool folder = format == ExportFormat::Html;
    if (folder && target.exists() && !(target.isDir() && emptyFolder(out)))
        return failed(QStringLiteral("%1 已经存在而且不是空文件夹。").arg(QDir::toNativeSeparators(out)));
    if (!target.absoluteDir().exists())
        return failed(ExportWriting::writeFailure(out, QStringLiteral("文件夹不存在")));
    QString error;
    const QString part = beginBeside(target, folder, &error);
    if (part.isEmpty())
        return failed(error);
    ExportOutcome outcome = runWriter(format, snapshot, part, progress);
    if (progress.cancelled()) {
        outcome.ok = false;
        outcome.cancelled = true;
        outcome.error.clear();
    }
    if (outcome.ok && !putInPlace(part, target.absoluteFilePath(), folder, &error))
        outcome = failed(error);
    if (!outcome.ok)
        removeBegun(part);
    return outcome;
}
