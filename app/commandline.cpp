// The command line: --import, --export and --help. Nothing here ever asks:
// what goes wrong is printed and said by the exit code.
#include "app/commandline.h"

#include "core/appinfo.h"
#include "core/catalogue.h"
#include "core/datafolder.h"
#include "core/fonts.h"
#include "core/recipekinds.h"
#include "exchange/exportjob.h"
#include "exchange/exportsnapshot.h"
#include "exchange/importjob.h"
#include "exchange/importsources.h"
#include "store/backup.h"
#include "store/jetfile.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

enum Exit { Success = 0, SourceRefused = 1, CatalogueTrouble = 2, BadArguments = 64 };

const char *const HelpText =
    "用法：zaoxiangju [选项]\n"
    "不带选项时打开程序窗口。\n"
    "\n"
    "  --import [--category 分类] [--keep-traditional] 路径...\n"
    "      把菜谱导入程序打开的菜谱数据库：\n"
    "      %1。\n"
    "      给了 --category，所有菜谱都放进这个分类（没有就新建）。\n"
    "      繁体字的菜谱存为简体字；给了 --keep-traditional 就保持繁体。\n"
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
    bool keepTraditional = false;
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
        if (r.kind == Request::Import && args.at(i) == QLatin1String("--keep-traditional")) {
            r.keepTraditional = true;
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
    if (Jet::isJetFile(path))
        return QStringLiteral("菜谱数据库 %1 是 Access 格式的：先打开程序，把它转换成新格式。").arg(QDir::toNativeSeparators(path));
    const StoreStatus found = QFile::exists(path) ? RecipeStore(path).probe()
                                                  : StoreStatus(StoreError{StoreError::Missing, QString()});
    if (found)
        return std::nullopt;
    QString text = QStringLiteral("无法打开菜谱数据库 %1：%2").arg(QDir::toNativeSeparators(path), found.error().userText());
    // A file another program holds is sound: it is not to be replaced.
    if (found.error().kind != StoreError::Busy && Backup::newestUsableCopy(path))
        text += QStringLiteral("\n备份文件夹里有可用的备份：打开程序，在分类树的根上右击，选“恢复备份…”。");
    return text;
}

// Runs the job's own events until it says it is over.
template <class Job>
void waitForEnd(Job &job)
{
    QEventLoop loop;
    QObject::connect(&job, &Job::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

int importFromCommandLine(Catalogue &catalogue, const Request &r)
{
    ImportJob job(catalogue, r.paths, r.category);
    job.keepTraditional = r.keepTraditional;
    job.safetyCopy = [&catalogue] {
        const StoreResult<QString> copy =
            Backup::makeCopy(catalogue.storePath(), Backup::Reason::Import, QDateTime::currentDateTime());
        if (!copy)
            complain(QStringLiteral("无法创建备份，没有导入：") + copy.error().userText());
        return bool(copy);
    };
    if (!job.start())
        return CatalogueTrouble;   // not with nothing else running
    waitForEnd(job);
    switch (job.end()) {
    case ImportJob::End::Done: break;
    case ImportJob::End::Cancelled:
    case ImportJob::End::NoSafetyCopy: return CatalogueTrouble;
    case ImportJob::End::NotWritten:
        complain(QStringLiteral("导入失败，菜谱数据库没有改动：") + job.refusal());
        return CatalogueTrouble;
    }
    for (const QString &line : importSourceLines(job.prepared(), job.outcome()))
        say(line);
    for (const QString &line : importTotalLines(job.prepared(), job.tally()))
        say(line);
    return anySourceRefused(job.prepared()) ? SourceRefused : Success;
}

int exportFromCommandLine(Catalogue &catalogue, const Request &r)
{
    const ExportFormat format = r.format == QLatin1String("pdf")    ? ExportFormat::Pdf
                                : r.format == QLatin1String("html") ? ExportFormat::Html
                                                                    : ExportFormat::Json;
    const QString out = QDir::cleanPath(QDir::current().absoluteFilePath(r.paths.first()));
    ExportJob job(catalogue, r.category, format, out);
    switch (job.start()) {
    case ExportJob::Refusal::None: break;
    case ExportJob::Refusal::Busy: return CatalogueTrouble;   // not with nothing else running
    case ExportJob::Refusal::Unreadable:
        complain(QStringLiteral("无法读出菜谱：") + job.unreadable());
        return CatalogueTrouble;
    case ExportJob::Refusal::NoSuchCategory:
        complain(QStringLiteral("没有这个分类：%1").arg(r.category.trimmed()));
        return SourceRefused;
    }
    waitForEnd(job);
    if (!job.outcome().ok) {
        complain(job.outcome().error);
        return SourceRefused;
    }
    say(exportDoneText(job.outcome(), QDir::toNativeSeparators(out)));
    return Success;
}

} // namespace

std::optional<int> runCommandLine(int argc, char **argv)
{
    // A path whose name is no UTF-8 (a GBK name from Windows) is reached
    // through a link that lives as long as the command.
    std::shared_ptr<QTemporaryDir> links;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << (::access(argv[i], F_OK) == 0 ? reachablePath(QByteArray(argv[i]), links) : QString::fromLocal8Bit(argv[i]));
    const Request r = parse(args);
    if (r.kind == Request::None)
        return std::nullopt;
    if (r.kind == Request::Help) {
        std::fputs(qUtf8Printable(QString::fromUtf8(HelpText).arg(RecipeKinds::helpList())), stdout);
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
