// Old catalogues in the Jet (Access) format: converted at start row for row,
// imported like a cookbook, refused with their reason and left untouched.
#include "core/startconvert.h"
#include "exchange/importrun.h"
#include "scripteddialogs.h"
#include "store/backup.h"
#include "store/jetconvert.h"
#include "store/sqlite.h"

#include <QImage>
#include <QtTest>
#include <sqlite3.h>

namespace {
const QString Fixtures = QStringLiteral(ZX_SOURCE_DIR "/../shared/fixtures/jet/");
const QDateTime Now(QDate(2026, 12, 8), QTime(15, 30, 12));

QByteArray fixture(const QString &name)
{
    QFile file(Fixtures + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A cell as the listing writes it.
QString listed(const Sql::Statement &st, int column)
{
    return st.columnIsNull(column) ? QStringLiteral("\\N") : st.columnText(column);
}
} // namespace

class TstJetFile : public QObject {
    Q_OBJECT
private slots:
    // The fixtures lie beside the project, not in it: without them nothing here can run.
    void initTestCase() { QVERIFY2(QFile::exists(Fixtures + QStringLiteral("cate-small.mdb")), qPrintable(Fixtures)); }
    void conversionKeepsEveryRow();
    void refusedFilesStayUntouched_data();
    void refusedFilesStayUntouched();
    void importTakesDishesAndPictures();
};

void TstJetFile::conversionKeepsEveryRow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cate.mdb"));
    const Jet::Contents old = Jet::read(Fixtures + QStringLiteral("cate-small.mdb"));
    QVERIFY(write(path, fixture(QStringLiteral("cate-small.mdb"))));
    ScriptedDialogs dialogs;
    QCOMPARE(offerConversionAtStart(dir.path() + u'/', Now), StartConversion::Converted);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("这是 Access 格式的菜谱数据库（11 道美食，6 个分类）。\r\n\r\n"
                                                         "要把它转换成新格式吗？原来的文件会原样保存在 备份 里。")});
    QCOMPARE(dialogs.messages.first().defaultButton, DialogService::Yes);
    const std::vector<Backup::CopyInfo> copies = Backup::listCopies(path);
    QCOMPARE(copies.size(), size_t(1));
    QCOMPARE(QFileInfo(copies[0].path).fileName(), QStringLiteral("cate-20261208-153012-Access.mdb"));
    QCOMPARE(copies[0].reason, Backup::Reason::Access);
    QCOMPARE(copies[0].dishes, 11);
    QVERIFY(RecipeStore(path).probe().ok());

    // Every row of the listing, in order; then every column of every row as read.
    Sql::Connection db;
    QCOMPARE(db.open(path, SQLITE_OPEN_READONLY), SQLITE_OK);
    Sql::Statement st;
    QCOMPARE(st.prepare(db, QStringLiteral("SELECT * FROM \"01\" ORDER BY rowid")), SQLITE_OK);
    QStringList lines = QString::fromUtf8(fixture(QStringLiteral("expected.tsv"))).split(u'\n', Qt::SkipEmptyParts);
    lines.removeFirst();
    for (int row = 0; row < lines.size(); ++row) {
        QCOMPARE(st.step(), SQLITE_ROW);
        const QString ingredients = listed(st, 3).section(QRegularExpression(QStringLiteral("\r?\n")), 0, 0);
        QCOMPARE(QStringList({listed(st, 0), listed(st, 1), listed(st, 2), ingredients}).join(u'\t'), lines.at(row));
        const DishRecord &d = old.dishes.at(row);
        for (const auto &[column, text] : {std::pair(1, d.category), {2, d.name}, {3, d.ingredients}, {4, d.method}, {5, d.picture}}) {
            QCOMPARE(st.columnIsNull(column), text.isNull());
            QCOMPARE(st.columnText(column), text);
        }
    }
    QCOMPARE(st.step(), SQLITE_DONE);
    QVERIFY(old.dishes.at(3).method.size() == 511 && old.dishes.at(0).ingredients.contains(QStringLiteral("\r\n")));
}

void TstJetFile::refusedFilesStayUntouched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("failWrite");
    QTest::addColumn<QString>("shown");
    const QByteArray good = fixture(QStringLiteral("cate-small.mdb"));
    QByteArray password = good, newer = good, noDishes = good;
    password[0x42] = char(password[0x42] ^ 0x55);
    newer.replace(4, 15, "Standard ACE DB");
    // Table "01" named "09" in the catalogue of objects.
    noDishes[noDishes.indexOf(QByteArrayView("0\0" "1\0", 4)) + 2] = '9';
    QTest::newRow("password") << password << false << QStringLiteral("这个旧版数据库有密码，无法打开。");
    QTest::newRow("accdb") << newer << false << QStringLiteral("不支持这种格式：");
    QTest::newRow("damaged") << good.left(8192) << false << QStringLiteral("这个旧版数据库已损坏");
    QTest::newRow("no table 01") << noDishes << false << QStringLiteral("不是灶香居的菜谱数据库");
    QTest::newRow("declined") << good << false << QStringLiteral("这是 Access 格式的菜谱数据库");
    QTest::newRow("write fails") << good << true << QStringLiteral("转换失败，原来的文件没有改动：");
}

void TstJetFile::refusedFilesStayUntouched()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, failWrite);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cate.mdb"));
    QVERIFY(write(path, bytes));
    if (failWrite)   // the new file cannot be made where it would be written
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("cate.mdb.converting")));
    ScriptedDialogs dialogs;
    dialogs.answers.enqueue(failWrite ? DialogService::Yes : DialogService::No);
    QCOMPARE(offerConversionAtStart(dir.path() + u'/', Now), StartConversion::Quit);
    QVERIFY2(dialogs.texts().last().startsWith(shown), qPrintable(dialogs.texts().join(u'|')));
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly) && after.readAll() == bytes);
    QVERIFY(QDir(Backup::folderOf(path)).isEmpty());
}

void TstJetFile::importTakesDishesAndPictures()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("old/旧菜谱.mdb"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("old/pic")) && QDir(dir.path()).mkpath(QStringLiteral("old/图片")));
    QVERIFY(write(source, fixture(QStringLiteral("cate-small.mdb"))));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(dir.filePath(QStringLiteral("old/pic/hsr.jpg"))));
    picture.fill(Qt::blue);
    QVERIFY(picture.save(dir.filePath(QStringLiteral("old/图片/naicha.jpg")), "JPG"));   // stored as naicha.JPG
    const QString data = dir.filePath(QStringLiteral("data/"));
    Progress progress;
    const PreparedImport prepared = prepareImport({source}, QString(), data, progress);
    QCOMPARE(prepared.dishes.size(), 11);
    QCOMPARE(prepared.picturesNotFound, 7);
    QVERIFY(importSummary(prepared, ImportTally()).contains(QStringLiteral("有 7 张图片没有找到")));
    const DishRecord &spareRibs = prepared.dishes.at(7);
    QCOMPARE(spareRibs.category + u'|' + spareRibs.name, QStringLiteral("家常菜|糖醋排骨"));
    QCOMPARE(prepared.dishes.at(1).picture, QStringLiteral("C:\\Program Files\\qwsoft\\pic\\xhsjd.jpg"));
    for (const int found : {0, 9}) {
        QVERIFY(prepared.dishes.at(found).picture.startsWith(data + QStringLiteral("图片/")));
        QVERIFY(!prepared.pictureFiles.at(found).isEmpty());
    }
    QDir().mkpath(data);
    RecipeStore store(data + QStringLiteral("cate.mdb"));
    QVERIFY(Jet::writeCatalogue(store.path(), Jet::Contents()).ok());
    QCOMPARE(store.importDishes(prepared.dishes)->skipped, 0);
    QCOMPARE(store.importDishes(prepared.dishes)->skipped, 11);   // equal dishes are skipped
}

QTEST_GUILESS_MAIN(TstJetFile)
#include "tst_jetfile.moc"
