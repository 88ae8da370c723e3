// Replays the inputs kept under fuzz/: the seed corpora and every input that
// once made a fuzz target fail (fuzz/regressions/<target>/), through the same
// checks the fuzz targets run.
#include "fuzz/checks.h"
#include "fuzz/storeops.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList inputs(const QString &target)
{
    QStringList files;
    for (const char *kind : {"corpus", "regressions"}) {
        const QDir dir(QStringLiteral(ZX_SOURCE_DIR "/fuzz/%1/%2").arg(QLatin1String(kind), target));
        for (const QFileInfo &f : dir.entryInfoList(QDir::Files, QDir::Name))
            files << f.absoluteFilePath();
    }
    return files;
}

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class FuzzReplay : public QObject {
    Q_OBJECT
private slots:
    void jetLike()
    {
        const QStringList files = inputs(QStringLiteral("namepattern"));
        QVERIFY(files.size() >= 5);
        for (const QString &file : files) {
            const QByteArray bytes = read(file);
            QVERIFY2(FuzzChecks::jetLike(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())),
                     qPrintable(file));
        }
    }

    void store()
    {
        QStringList files = inputs(QStringLiteral("store"));
        const QString starter = QStringLiteral(ZX_BINARY_DIR "/starter/cate.mdb");
        if (QFile::exists(starter))
            files << starter;
        QVERIFY(!files.isEmpty());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cate.mdb"));
        for (const QString &file : files) {
            const QByteArray bytes = read(file);
            QVERIFY2(FuzzChecks::store(path, reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())),
                     qPrintable(file));
        }
        // The starter database really reads as a catalogue.
        if (QFile::exists(starter)) {
            QFile::remove(path);
            QVERIFY(QFile::copy(starter, path));
            const auto catalogue = RecipeStore(path).loadCatalogue();
            QVERIFY(catalogue.ok());
            QVERIFY(!catalogue->categories.isEmpty());
        }
    }

    // Sequences of store operations, each checked against the model.
    void storeOperations()
    {
        const QStringList files = inputs(QStringLiteral("storeops"));
        QVERIFY(!files.isEmpty());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cate.mdb"));
        for (const QString &file : files) {
            const QByteArray bytes = read(file);
            const char *mismatch = storeOps(path, reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            QVERIFY2(!mismatch, qPrintable(file + QStringLiteral(": ") + QString::fromLatin1(mismatch)));
        }
    }
};

QTEST_GUILESS_MAIN(FuzzReplay)
#include "tst_fuzzreplay.moc"
