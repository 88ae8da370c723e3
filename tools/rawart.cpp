// Build step: every PNG under the assets folder, decoded once here into the
// bytes the program would decode it to, so that the program shows its first
// windows without unpacking PNG (the resource compiler still compresses
// them, with a method far quicker to undo). Writes <out>/<path>.raw for each
// assets/<path>, and <out>/rawart.qrc listing them under the prefix /raw.
//
//   rawart <assets folder> <output folder>
#include "skin/rawpicture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

// Only a changed file is written again, so what depends on it is not rebuilt.
bool writeIfChanged(const QString &path, const QByteArray &bytes)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return true;
    old.close();
    return writeFile(path, bytes);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: rawart <assets folder> <output folder>\n");
        return 2;
    }
    const QDir assets(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QStringList names;
    QDirIterator it(assets.path(), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << assets.relativeFilePath(it.next());
    names.sort();

    QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/raw\">\n";
    for (const QString &name : std::as_const(names)) {
        QImageReader reader(assets.filePath(name), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (image.isNull()) {
            std::fprintf(stderr, "rawart: cannot read %s: %s\n", qPrintable(name), qPrintable(reader.errorString()));
            return 1;
        }
        const QString target = out.filePath(name + QStringLiteral(".raw"));
        if (!QDir().mkpath(QFileInfo(target).path()) || !writeIfChanged(target, RawPicture::encode(image))) {
            std::fprintf(stderr, "rawart: cannot write %s\n", qPrintable(target));
            return 1;
        }
        qrc += "  <file alias=\"" + name.toUtf8() + "\">" + name.toUtf8() + ".raw</file>\n";
    }
    qrc += "</qresource>\n</RCC>\n";
    if (!writeIfChanged(out.filePath(QStringLiteral("rawart.qrc")), qrc)) {
        std::fprintf(stderr, "rawart: cannot write the resource list\n");
        return 1;
    }
    return 0;
}
