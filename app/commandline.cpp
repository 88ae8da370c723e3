// The command line: --import, --export and --help. Nothing here ever asks:
// what goes wrong is printed and said by the exit code.
#include "app/commandline.h"

#include "core/appinfo.h"
#include "core/catalogue.h"
#include "core/datafolder.h"
#include "core/fonts.h"
#include "exchange/exportsnapshot.h"
#include "exchange/importfetch.h"
#include "exchange/importrun.h"
#include "store/backup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

enum Exit { Success = 0, SourceRefused = 1, CatalogueTrouble = 2, BadArguments = 64 };

const char *const HelpText =
    "用法：zaoxiangju [选项]\n"
    "不带选项时打开程序窗口。\n"
    "\n"
    "  --import [--category 分类] 路径...\n"
    "      把菜谱导入程序打开的菜谱数据库：网页（.html .htm）、菜谱 JSON（.json）、\n"
    "      菜谱压缩包（.zip）或文件夹、MealMaster 文本（.mmf .mm .txt）。\n"
    "      给了 --category，所有菜谱都放进这个分类（没有就新建）。\n"
    "      退出码：0 全部读出，1 有的文件被拒绝（其余照样导入），2 数据库打不开或写不进。\n"
    "  --export pdf|html|json [--category 分类] 输出\n"
    "      导出全部菜谱或一个分类：pdf 菜谱书、html 网页文件夹（必须不存在或为空）、\n"
    "      json 菜谱压缩包（.zip）。退出码：0 成功，1 导出失败，2 数据库打不开。\n"
    "  --help\n"
    "      显示这段说明。\n";

void say(const QString &line) { std::fprintf(stdout, "%s\n", qUtf8Printable(line)); }
void complain(const QString &line) { std::fprintf(stderr, "%s\n", qUtf8Printable(line)); }

struct Request {
    enum Kind { None, Help, Import, Export } kind = None;
    QString category;
    bool hasCategory = false;
    QString format;
    QStringList paths;
    QString error;
};

Request parse(const QStringList &args)
{
    Request r;
    if (args.isEmpty())
        return r;
    const QString first = args.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        r.kind = Request::Help;
        return r;
    }
    if (first != QLatin1String("--import") && first != QLatin1String("--export"))
        return r;
    r.kind = first == QLatin1String("--import") ? Request::Import : Request::Export;
    int i = 1;
    if (r.kind == Request::Export && i < args.size())
        r.format = args.at(i++);
    for (; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--category") && !r.hasCategory) {
            if (++i >= args.size() || args.at(i).trimmed().isEmpty())
                r.error = QStringLiteral("--category 后面要写分类名。");
            else
                r.category = args.at(i);
            r.hasCategory = true;
            continue;
        }
        r.paths << args.at(i);
    }
    if (!r.error.isEmpty())
        return r;
    if (r.kind == Request::Import && r.paths.isEmpty())
        r.error = QStringLiteral("--import 后面要写至少一个文件或文件夹。");
    if (r.kind == Request::Export && !QStringList{"pdf", "html", "json"}.contains(r.format))
        r.error = QStringLiteral("--export 后面要写 pdf、html 或 json。");
    else if (r.kind == Request::Export && r.paths.size() != 1)
        r.error = QStringLiteral("--export 要写一个输出的文件或文件夹。");
    return r;
}

// The catalogue a start would open, or why it cannot be used (never asking).
std::optional<QString> catalogueProblem(const DataFolder &data)
{
    const QString path = data.folder + QStringLiteral("cate.mdb");
    if (!data.problem.isEmpty())
        return data.problem;
    const StoreStatus found = QFile::exists(path) ? RecipeStore(path).probe()
                                                  : StoreStatus(StoreError{StoreError::Missing, QString()});
    if (found)
        return std::nullopt;
    QString text = QStringLiteral("无法打开菜谱数据库 %1：%2").arg(QDir::toNativeSeparators(path), found.error().userText());
    if (Backup::newestUsableCopy(path))
        text += QStringLiteral("\n备份文件夹里有可用的备份：打开程序，在分类树的根上右击，选“恢复备份…”。");
    return text;
}

int importFromCommandLine(Catalogue &catalogue, const Request &r)
{
    ReadProgress progress;
    PreparedImport prepared = prepareImport(r.paths, r.category, catalogue.dataFolder(), progress);
    ImportOutcome outcome;
    if (!prepared.dishes.isEmpty()) {
        const StoreResult<QString> copy =
            Backup::makeCopy(catalogue.storePath(), Backup::Reason::Import, QDateTime::currentDateTime());
        if (!copy) {
            complain(QStringLiteral("无法创建备份，没有导入：") + copy.error().userText());
            return CatalogueTrouble;
        }
        const StoreResult<ImportOutcome> imported = catalogue.importDishes(prepared.dishes);
        if (!imported) {
            complain(QStringLiteral("导入失败，菜谱数据库没有改动：") + imported.error().userText());
            return CatalogueTrouble;
        }
        outcome = *imported;
    }
    for (const QString &line : importSourceLines(prepared, outcome))
        say(line);
    ImportTally tally = tallyImport(prepared, outcome);
    tally.picturesNotFetched = fetchImportPicturesNow(catalogue, prepared, outcome);
    for (const QString &line : importTotalLines(prepared, tally))
        say(line);
    return anySourceRefused(prepared) ? SourceRefused : Success;
}

int exportFromCommandLine(Catalogue &catalogue, const Request &r)
{
    const StoreResult<ExportRows> rows = catalogue.everything();
    if (!rows) {
        complain(QStringLiteral("无法读出菜谱：") + rows.error().userText());
        return CatalogueTrouble;
    }
    const std::optional<ExportSnapshot> snapshot =
        makeSnapshot(*rows, r.category, catalogue.dataFolder(), QDate::currentDate());
    if (!snapshot) {
        complain(QStringLiteral("没有这个分类：%1").arg(r.category.trimmed()));
        return SourceRefused;
    }
    const ExportFormat format = r.format == QLatin1String("pdf")    ? ExportFormat::Pdf
                                : r.format == QLatin1String("html") ? ExportFormat::Html
                                                                    : ExportFormat::Json;
    ExportProgress progress;
    const QString out = QDir::cleanPath(QDir::current().absoluteFilePath(r.paths.first()));
    const ExportOutcome done = writeCookbook(format, *snapshot, out, progress);
    if (!done.ok) {
        complain(done.error);
        return SourceRefused;
    }
    say(exportDoneText(done, QDir::toNativeSeparators(out)));
    return Success;
}

} // namespace

std::optional<int> runCommandLine(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const Request r = parse(args);
    if (r.kind == Request::None)
        return std::nullopt;
    if (r.kind == Request::Help) {
        std::fputs(HelpText, stdout);
        return Success;
    }
    if (!r.error.isEmpty()) {
        complain(r.error);
        complain(QStringLiteral("zaoxiangju --help 显示用法。"));
        return BadArguments;
    }
    // No display is needed, nor wanted: text is laid out and pictures
    // drawn off screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int appArgc = 1;
    QGuiApplication app(appArgc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("zaoxiangju"));
    const DataFolder data = resolveDataFolder(App::applicationFolder());
    if (const std::optional<QString> problem = catalogueProblem(data)) {
        complain(*problem);
        return CatalogueTrouble;
    }
    Catalogue catalogue(data.folder);
    return r.kind == Request::Import ? importFromCommandLine(catalogue, r) : exportFromCommandLine(catalogue, r);
}
