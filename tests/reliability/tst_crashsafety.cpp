// A program killed in the middle of saving must leave cate.mdb whole, with
// every dish whose save it had reported as done. The test binary doubles as
// the writer: run with "--writer <cate.mdb>" it saves dishes in a loop and
// prints each new id once the store has returned success.
#include "support/testdb.h"
#include "support/otherprogram.h"

#include "store/recipestore.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace {

QString dishName(qint64 serial) { return QStringLiteral("崩溃测试%1").arg(serial); }

int runWriter(const char *path, qint64 firstSerial)
{
    const QString file = QString::fromLocal8Bit(path);
    // Texts long enough that each save touches several pages.
    const QString ingredients = QString(1500, QChar(u'料'));
    for (qint64 serial = firstSerial;; ++serial) {
        const auto id = RecipeStore(file).addDish(QStringLiteral("汤"), dishName(serial), ingredients,
                                             QStringLiteral("炖\r\n再炖"), QString());
        if (!id) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(id.error().detail));
            return 1;
        }
        std::printf("%lld %lld\n", static_cast<long long>(*id), static_cast<long long>(serial));
        std::fflush(stdout);
    }
}

QString integrityCheck(const QString &path)
{
    return OtherProgram(path).rows(QStringLiteral("PRAGMA integrity_check")).join(QString());
}

} // namespace

class CrashSafety : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSaving();
};

void CrashSafety::killedWhileSaving()
{
    TestDb db(QStringLiteral("INSERT INTO \"02\"(category) VALUES ('汤');"));
    QRandomGenerator random(20040122);
    QHash<qint64, qint64> reported;   // id -> serial of every save reported done
    qint64 nextSerial = 1;
    int killedMidway = 0;
    constexpr int Runs = 24;

    for (int run = 0; run < Runs; ++run) {
        QProcess writer;
        writer.setProgram(QCoreApplication::applicationFilePath());
        writer.setArguments({QStringLiteral("--writer"), db.path(), QString::number(nextSerial)});
        writer.setProcessChannelMode(QProcess::SeparateChannels);
        writer.start();
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));

        // Let it report a random number of saves (sometimes none), then kill
        // it at a random moment of the next one.
        const int wantLines = random.bounded(12);
        QByteArray out;
        while (out.count('\n') < wantLines && writer.state() == QProcess::Running) {
            writer.waitForReadyRead(2000);
            out += writer.readAllStandardOutput();
        }
        QThread::usleep(random.bounded(4000));
        writer.kill();   // SIGKILL
        QVERIFY(writer.waitForFinished(10000));
        out += writer.readAllStandardOutput();
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        QVERIFY2(writer.readAllStandardError().isEmpty(), "the writer reported a failed save");

        // Only whole lines count: a line cut short was never reported.
        const QList<QByteArray> lines = out.split('\n');
        for (int i = 0; i + 1 < lines.size(); ++i) {
            const QList<QByteArray> parts = lines.at(i).split(' ');
            QCOMPARE(parts.size(), 2);
            const qint64 id = parts.at(0).toLongLong();
            const qint64 serial = parts.at(1).toLongLong();
            QVERIFY2(!reported.contains(id), "an id was handed out twice");
            reported.insert(id, serial);
            nextSerial = std::max(nextSerial, serial + 1);
        }
        nextSerial += 1;   // the save that was cut off keeps its own number
        if (QFile::exists(db.path() + QStringLiteral("-journal")))
            ++killedMidway;

        // The next start of the program reads the file (rolling back a
        // half-done save) and finds every reported dish.
        const auto catalogue = RecipeStore(db.path()).loadCatalogue();
        QVERIFY2(catalogue.ok(), qPrintable(catalogue.ok() ? QString() : catalogue.error().detail));
        QCOMPARE(integrityCheck(db.path()), QStringLiteral("ok"));
        QHash<qint64, QString> inFile;
        for (const DishKey &d : catalogue->keys())
            inFile.insert(d.id, d.name);
        for (auto it = reported.cbegin(); it != reported.cend(); ++it) {
            QVERIFY2(inFile.contains(it.key()), qPrintable(QStringLiteral("dish %1 reported saved but missing").arg(it.key())));
            QCOMPARE(inFile.value(it.key()), dishName(it.value()));
        }
        // Nothing but whole saves: at most the one cut off after its commit is extra.
        QVERIFY(catalogue->dishCount() >= reported.size());
    }
    QVERIFY(reported.size() > Runs);   // the runs really saved
    const auto full = RecipeStore(db.path()).findDishById(reported.cbegin().key());
    QVERIFY(full.ok() && full->has_value());
    QCOMPARE(full->value().ingredients, QString(1500, QChar(u'料')));
    qInfo("%lld saves reported over %d kills; %d kills left a journal behind", qint64(reported.size()), Runs,
          killedMidway);
}

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--writer") == 0)
        return runWriter(argv[2], QByteArray(argv[3]).toLongLong());
    QCoreApplication app(argc, argv);
    CrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
