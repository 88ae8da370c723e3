// Recipes in and out at scale: 1,000 saved web pages of about 200 KB
// imported (and how long the window's thread is kept from answering
// meanwhile), and the three cookbooks written from 1,000 dishes (100 with
// pictures), the archive also from 32,767. Each export runs in a process
// of its own, so that its peak memory is its own.
#include "core/catalogue.h"
#include "core/background.h"
#include "exchange/exportsnapshot.h"
#include "exchange/importrun.h"
#include "store/jetconvert.h"
#include "support/recipedb.h"
#include "support/timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sqlite3.h>

#include <cstdio>

namespace {

void print(const QString &line) { std::printf("%s\n", qUtf8Printable(line)); std::fflush(stdout); }

// A saved page as cooking sites make them: the recipe in JSON-LD in the
// head, and some 200 KB of markup around it.
QByteArray page(int n)
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>菜谱</title>"
                      "<script type=\"application/ld+json\">{\"@context\":\"https://schema.org\",\"@graph\":[{\"@type\":\"WebPage\"},"
                      "{\"@type\":\"Recipe\",\"name\":\"网页菜 " + QByteArray::number(n) + "\",\"recipeCategory\":\"网页菜\","
                      "\"recipeIngredient\":[\"五花肉 500克\",\"冰糖 30克\",\"生抽 2勺\"],"
                      "\"recipeInstructions\":[{\"@type\":\"HowToStep\",\"text\":\"焯水\"},{\"@type\":\"HowToStep\",\"text\":\"慢炖四十分钟\"}],"
                      "\"totalTime\":\"PT1H30M\",\"recipeYield\":\"4人份\"}]}</script></head><body>";
    const QByteArray block = "<div class=\"comment\"><p>这道菜我做了三次，每次都很成功，家里人都爱吃。</p><a href=\"#\">回复</a></div>\n";
    while (html.size() < 200 * 1024)
        html += block;
    return html + "</body></html>";
}

// The import: reading on the helper thread while this one ticks every
// 10 ms, as the progress window's would; then the one transaction.
void benchImport(const QDir &top)
{
    const QString pages = top.filePath(QStringLiteral("pages"));
    QDir().mkpath(pages);
    QStringList paths;
    for (int i = 0; i < 1000; ++i) {
        const QString path = pages + QStringLiteral("/%1.html").arg(i);
        QFile f(path);
        Bench::check(f.open(QIODevice::WriteOnly) && f.write(page(i)) > 0, "write a page");
        paths << path;
    }
    const QString folder = top.filePath(QStringLiteral("import/"));
    QDir().mkpath(folder);
    Bench::makeDatabase(folder + QStringLiteral("cate.mdb"), 1000);
    Catalogue catalogue(folder);
    Bench::syncFile(folder + QStringLiteral("cate.mdb"));

    QElapsedTimer clock;
    clock.start();
    auto progress = std::make_shared<Progress>();
    QFuture<PreparedImport> job =
        Background::start(progress, [&] { return prepareImport(paths, QString(), folder, *progress); });
    QEventLoop loop;
    QFutureWatcher<PreparedImport> watcher;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(job);
    // The window's thread is asked every 10 ms meanwhile: how late it answers.
    QTimer tick;
    qint64 last = clock.elapsed(), longest = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = qMax(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start(10);
    loop.exec();
    const PreparedImport prepared = job.takeResult();
    const double readMs = clock.nsecsElapsed() / 1e6;
    const StoreResult<ImportOutcome> done = catalogue.importDishes(prepared.dishes, prepared.marks);
    Bench::check(done.ok() && prepared.dishes.size() == 1000, "import 1,000 pages");
    const double totalMs = clock.nsecsElapsed() / 1e6;
    print(QStringLiteral("| import 1,000 saved pages of 200 KB | %1 s (read %2 s) | ≤ 5 s |")
              .arg(totalMs / 1000, 0, 'f', 2).arg(readMs / 1000, 0, 'f', 2));
    print(QStringLiteral("| longest pause of the window's thread meanwhile | %1 ms | ≤ 100 ms |").arg(longest));
}

// 100 of the first dishes get a photo of 1600×1200.
void givePictures(const QString &folder)
{
    QDir().mkpath(folder + QStringLiteral("图片"));
    sqlite3 *db = nullptr;
    Bench::check(sqlite3_open((folder + QStringLiteral("cate.mdb")).toUtf8().constData(), &db) == SQLITE_OK, "open");
    for (int i = 0; i < 100; ++i) {
        QImage photo(1600, 1200, QImage::Format_RGB32);
        QPainter p(&photo);
        p.fillRect(photo.rect(), QColor::fromHsv((i * 37) % 360, 120, 200));
        p.drawEllipse(200 + i, 150, 1000, 800);
        p.end();
        const QString path = folder + QStringLiteral("图片/photo%1.jpg").arg(i);
        Bench::check(photo.save(path, "JPEG", 85), "save a photo");
        const QByteArray sql = QStringLiteral("UPDATE \"01\" SET picture='%1' WHERE rowid=%2").arg(path).arg(i * 10 + 1).toUtf8();
        Bench::check(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK, "set a picture");
    }
    sqlite3_close(db);
}

long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// In the child: one export, printed as "<ms> <peak KB>".
int exportChild(const QString &format, const QString &folder, const QString &out)
{
    Catalogue catalogue(folder);
    QElapsedTimer clock;
    clock.start();
    const StoreResult<ExportRows> rows = catalogue.everything();
    Bench::check(rows.ok(), "read everything");
    const auto snapshot = makeSnapshot(*rows, QString(), catalogue.dataFolder(), QDate::currentDate());
    Progress progress;
    const ExportFormat kind = format == QLatin1String("pdf") ? ExportFormat::Pdf
                              : format == QLatin1String("html") ? ExportFormat::Html : ExportFormat::Json;
    const ExportOutcome done = writeCookbook(kind, *snapshot, out, progress);
    Bench::check(done.ok, qPrintable(done.error));
    std::printf("%.1f %ld\n", clock.nsecsElapsed() / 1e6, peakKb());
    return 0;
}

void benchExport(const QDir &top, const QString &format, int dishes, double targetS)
{
    const QString folder = top.filePath(QStringLiteral("export%1/").arg(dishes));
    if (!QFile::exists(folder + QStringLiteral("cate.mdb"))) {
        QDir().mkpath(folder);
        Bench::makeDatabase(folder + QStringLiteral("cate.mdb"), dishes);
        givePictures(folder);
    }
    const QString out = top.filePath(QStringLiteral("out-%1-%2.%3").arg(format).arg(dishes).arg(format == "html" ? "d" : format == "pdf" ? "pdf" : "zip"));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), format, folder, out});
    Bench::check(child.waitForFinished(600000) && child.exitCode() == 0, "export child");
    const QList<QByteArray> got = child.readAllStandardOutput().trimmed().split(' ');
    const double ms = got.value(0).toDouble();
    const double mb = got.value(1).toDouble() / 1024;
    print(QStringLiteral("| %1 from %2 dishes (100 with pictures) | %3 s, peak %4 MB | ≤ %5 s, < 200 MB |")
              .arg(format).arg(dishes).arg(ms / 1000, 0, 'f', 2).arg(mb, 0, 'f', 0).arg(targetS));
}

// An old Jet catalogue of 32,767 dishes, converted and imported. No tool
// writes Jet files, so the reading is timed on the fixture (11 dishes, read
// again and again: each round opens the file anew, which only adds) and
// scaled to 32,767 dishes; the writing is timed whole, on 32,767 rows.
void benchJet(const QDir &top)
{
    constexpr int Dishes = 32767;
    constexpr int Rounds = 300;
    const QString fixture = QStringLiteral(ZX_SOURCE_DIR "/../shared/fixtures/jet/cate-small.mdb");
    Jet::Contents one = Jet::read(fixture);
    Bench::check(one.problem.kind == Jet::Problem::None && !one.dishes.isEmpty(), "read the Jet fixture");
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Rounds; ++i)
        Bench::check(Jet::read(fixture).dishes.size() == one.dishes.size(), "read the Jet fixture again");
    const double readS = timer.nsecsElapsed() / 1e9 / (double(Rounds) * one.dishes.size()) * Dishes;
    Jet::Contents all;
    all.categories = one.categories;
    for (int i = 0; i < Dishes; ++i) {
        DishRecord dish = one.dishes.at(i % one.dishes.size());
        dish.id = i + 1;
        dish.name += QString::number(i);
        all.dishes.append(dish);
    }
    timer.restart();
    Bench::check(Jet::writeCatalogue(top.filePath(QStringLiteral("converted.mdb")), all).ok(), "convert");
    const double convertS = readS + timer.nsecsElapsed() / 1e9;
    const QString target = top.filePath(QStringLiteral("imported.mdb"));
    Bench::check(Jet::writeCatalogue(target, Jet::Contents()).ok(), "an empty catalogue");
    RecipeStore store(target);
    timer.restart();
    Bench::check(store.importDishes(all.dishes).ok(), "import");
    const double importS = readS + timer.nsecsElapsed() / 1e9;
    print(QStringLiteral("| Jet cate.mdb of %1 dishes converted (reading scaled from the fixture) | %2 s (read %3 s) | ≤ 10 s |")
              .arg(Dishes).arg(convertS, 0, 'f', 2).arg(readS, 0, 'f', 2));
    print(QStringLiteral("| Jet cate.mdb of %1 dishes imported (reading scaled from the fixture) | %2 s | ≤ 10 s |")
              .arg(Dishes).arg(importS, 0, 'f', 2));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args.at(1) == QLatin1String("--child"))
        return exportChild(args.at(2), args.at(3), args.at(4));
    QTemporaryDir top;
    Bench::check(top.isValid(), "a temporary folder");
    const QDir dir(top.path());
    print(QStringLiteral("| recipes in and out | measured | target |"));
    print(QStringLiteral("|---|---:|---|"));
    benchImport(dir);
    benchJet(dir);
    benchExport(dir, QStringLiteral("pdf"), 1000, 10);
    benchExport(dir, QStringLiteral("html"), 1000, 3);
    benchExport(dir, QStringLiteral("json"), 1000, 3);
    benchExport(dir, QStringLiteral("json"), 32767, 30);
    return 0;
}
