#include "art.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>
#include <cstdio>

namespace {
int g_scale = 1;
}

int artScale() { return g_scale; }
void setArtScale(int scale) { g_scale = scale; }

void savePng(const QImage &image, const QString &assetsDir, const QString &relativePath)
{
    QString name = relativePath;
    if (g_scale > 1)
        name.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(g_scale));
    const QString path = assetsDir + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).path());
    if (!image.save(path, "PNG"))
        std::fprintf(stderr, "drawart: cannot write %s\n", qPrintable(path));
}


// assets.qrc lists every PNG under assets/, so the program compiles them in.
static void writeQrc(const QString &assetsDir)
{
    // Absolute, so that a relative folder argument ("assets") lists the
    // same paths as an absolute one.
    const QDir dir(QDir(assetsDir).absolutePath());
    QStringList files;
    QDirIterator it(dir.path(), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << dir.relativeFilePath(it.next());
    files.sort();
    QFile qrc(assetsDir + QStringLiteral("/assets.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    QTextStream out(&qrc);
    out << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const QString &f : files)
        out << "  <file>" << f << "</file>\n";
    out << "</qresource>\n</RCC>\n";
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawart <assets folder>\n");
        return 2;
    }
    const QString dir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    for (int scale : {1, 2}) {
        setArtScale(scale);
        drawSkinArt(dir);
        drawWindowArt(dir);
    }
    writeQrc(dir);
    return 0;
}
