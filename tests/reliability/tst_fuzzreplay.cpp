// Replays the inputs kept under fuzz/: the seed corpora and every input that
// once made a fuzz target fail (fuzz/regressions/<target>/), through the same
// checks the fuzz targets run.
#include "fuzz/amountchecks.h"
#include "fuzz/checks.h"
#include "fuzz/importchecks.h"
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

// The check fuzz_<target> runs; `folder` is where a file is written.
int readAs(const QString &target, const QString &folder, const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    const auto size = size_t(bytes.size());
    if (target == QLatin1String("page"))
        return FuzzChecks::page(data, size);
    if (target == QLatin1String("json"))
        return FuzzChecks::json(data, size);
    if (target == QLatin1String("mealmaster"))
        return FuzzChecks::mealMaster(data, size);
    if (target == QLatin1String("markdown"))
        return FuzzChecks::markdown(folder, data, size);
    return FuzzChecks::zip(folder, data, size);
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

    void amounts()
    {
        const QStringList files = inputs(QStringLiteral("amounts"));
        QVERIFY(!files.isEmpty());
        for (const QString &file : files) {
            const QByteArray bytes = read(file);
            QVERIFY2(FuzzChecks::amounts(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())),
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

    // The recipe files: no input contradicts the readers, and every seed
    // (each a real recipe file) gives at least `least` recipes.
    void imports_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("least");
        QTest::newRow("page: JSON-LD, microdata, GBK") << QStringLiteral("page") << 1;
        QTest::newRow("json: one, an array") << QStringLiteral("json") << 1;
        QTest::newRow("mealmaster") << QStringLiteral("mealmaster") << 1;
        QTest::newRow("markdown: sections") << QStringLiteral("markdown") << 1;
        QTest::newRow("zip: a dish, a folder") << QStringLiteral("zip") << 1;
    }

    void imports()
    {
        QFETCH(QString, target);
        QFETCH(int, least);
        const QStringList files = inputs(target);
        QVERIFY(!files.isEmpty());
        QTemporaryDir dir;
        for (const QString &file : files) {
            const int recipes = readAs(target, dir.path(), read(file));
            QVERIFY2(recipes != FuzzChecks::Contradiction, qPrintable(file));
            if (file.contains(QLatin1String("/fuzz/corpus/")))
                QVERIFY2(recipes >= least, qPrintable(file));
        }
    }
};

QTEST_GUILESS_MAIN(FuzzReplay)
#include "tst_fuzzreplay.moc"
