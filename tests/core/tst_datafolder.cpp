// Where the recipes live: the executable's folder when it holds cate.mdb or
// when the program is not installed; otherwise the user's data folder,
// seeded once from the packaged starter database.
#include "core/datafolder.h"
#include "core/picturestore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

class TestDataFolder : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString m_bin, m_starter, m_userData;

private slots:
    void init()
    {
        QVERIFY(m_root.isValid());
        QDir(m_root.path()).removeRecursively();
        QDir().mkpath(m_root.path());
        // An installed layout: <root>/usr/bin, <root>/usr/share/zaoxiangju;
        // the user's data folder under <root>/home/.local/share.
        m_bin = m_root.filePath(QStringLiteral("usr/bin/"));
        m_starter = m_root.filePath(QStringLiteral("usr/share/zaoxiangju/cate.mdb"));
        QDir().mkpath(m_bin);
        writeFile(m_starter, "starter");
        const QString dataHome = m_root.filePath(QStringLiteral("home/.local/share"));
        qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
        m_userData = dataHome + QStringLiteral("/zaoxiangju/");
    }

    // Installed, a file put beside the program would stand for every user's
    // recipes (and could not be written): it is never used.
    void databaseBesideTheInstalledProgramIsNeverUsed()
    {
        writeFile(m_bin + QStringLiteral("cate.mdb"), "portable");
        writeFile(m_userData + QStringLiteral("cate.mdb"), "mine");
        const DataFolder data = resolveDataFolder(m_bin);
        QCOMPARE(data.folder, m_userData);
        QVERIFY(data.installed);
        QVERIFY(!data.seeded);
        QVERIFY(data.problem.isEmpty());
        QCOMPARE(readFile(m_bin + QStringLiteral("cate.mdb")), QByteArray("portable"));
        QCOMPARE(readFile(m_userData + QStringLiteral("cate.mdb")), QByteArray("mine"));
    }

    void portableFolderWithoutDatabaseStaysPortable()
    {
        // A build folder: no starter database beside it, no cate.mdb in it.
        const QString build = m_root.filePath(QStringLiteral("build"));
        QDir().mkpath(build);
        const DataFolder data = resolveDataFolder(build);
        QCOMPARE(data.folder, build + QLatin1Char('/'));
        QVERIFY(!data.installed);
        QVERIFY(!data.seeded);
        QVERIFY(data.problem.isEmpty());
        QVERIFY(QDir(build).isEmpty());
        QVERIFY(!QFileInfo::exists(m_userData));
    }

    void installedSeedsOnceAndNeverOverwrites()
    {
        const DataFolder first = resolveDataFolder(m_bin);
        QCOMPARE(first.folder, m_userData);
        QVERIFY(first.installed);
        QVERIFY(first.seeded);
        QVERIFY2(first.problem.isEmpty(), qPrintable(first.problem));
        QCOMPARE(readFile(m_userData + QStringLiteral("cate.mdb")), QByteArray("starter"));
        QVERIFY(QFileInfo(m_userData + QStringLiteral("cate.mdb")).isWritable());

        // The cook's changes survive the next start and a newer package.
        writeFile(m_userData + QStringLiteral("cate.mdb"), "mine");
        writeFile(m_starter, "starter, next release");
        const DataFolder second = resolveDataFolder(m_bin);
        QCOMPARE(second.folder, m_userData);
        QVERIFY(second.installed);
        QVERIFY(!second.seeded);
        QVERIFY(second.problem.isEmpty());
        QCOMPARE(readFile(m_userData + QStringLiteral("cate.mdb")), QByteArray("mine"));
        QVERIFY(QDir(m_bin).isEmpty());

        // Gone, with safety copies beside it: no first start, no starter dishes.
        QFile::remove(m_userData + QStringLiteral("cate.mdb"));
        writeFile(m_userData + QStringLiteral("备份/cate-20261208-153012.mdb"), "a copy");
        QVERIFY(!resolveDataFolder(m_bin).seeded);
        QVERIFY(!QFile::exists(m_userData + QStringLiteral("cate.mdb")));
    }

    void unusableDataFolderIsReportedAndNothingIsWrittenElsewhere()
    {
        // The data home is a file, so the folder cannot be made (even by root).
        const QString blocked = m_root.filePath(QStringLiteral("home/blocked"));
        writeFile(blocked, "not a folder");
        qputenv("XDG_DATA_HOME", blocked.toLocal8Bit());
        const DataFolder data = resolveDataFolder(m_bin);
        QCOMPARE(data.folder, blocked + QStringLiteral("/zaoxiangju/"));
        QVERIFY(data.installed);
        QVERIFY(!data.seeded);
        QVERIFY(data.problem.contains(data.folder));
        QVERIFY(QDir(m_bin).isEmpty());
        QCOMPARE(readFile(m_starter), QByteArray("starter"));
    }

    // Pictures are kept beside cate.mdb under their content's name, once,
    // and found there again when the whole folder has moved.
    void picturesAreKeptOnceByContent()
    {
        const QString data = m_root.filePath(QStringLiteral("data/"));
        const QByteArray photo("the same photo");
        writeFile(m_root.filePath(QStringLiteral("a/Photo.JPG")), photo);
        writeFile(m_root.filePath(QStringLiteral("b/again.jpg")), photo);
        const QString name = QString::fromLatin1(QCryptographicHash::hash(photo, QCryptographicHash::Sha256).toHex().left(16));
        const QString kept = data + QStringLiteral("图片/") + name + QStringLiteral(".jpg");
        QCOMPARE(keepPicture(data, m_root.filePath(QStringLiteral("a/Photo.JPG"))).value(), kept);
        QCOMPARE(keepPicture(data, m_root.filePath(QStringLiteral("b/again.jpg"))).value(), kept);
        QCOMPARE(keepPicture(data, kept).value(), kept);
        QCOMPARE(QDir(data + QStringLiteral("图片")).entryList(QDir::Files | QDir::Hidden), QStringList(name + QStringLiteral(".jpg")));
        QCOMPARE(readFile(kept), photo);

        QCOMPARE(resolvePicture(data, QStringLiteral("/home/old/菜谱/图片/") + name + QStringLiteral(".jpg")), kept);
        const StoreResult<QString> gone = keepPicture(data, m_root.filePath(QStringLiteral("gone.jpg")));
        QVERIFY(!gone && gone.error().kind == StoreError::Other && gone.error().detail.startsWith(QStringLiteral("无法读取")));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zaoxiangju"));
    TestDataFolder test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_datafolder.moc"
