#include "files/importflow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/safetycopy.h"
#include "exchange/importjob.h"
#include "files/progresswindow.h"

#include <QWidget>

namespace {

QString stageText(ImportJob::Stage stage)
{
    switch (stage) {
    case ImportJob::Stage::Reading: return QStringLiteral("正在读取菜谱…");
    case ImportJob::Stage::KeepingPictures: return QStringLiteral("正在保存菜谱图片…");
    case ImportJob::Stage::Fetching: return QStringLiteral("正在下载菜谱图片…");
    }
    return QString();
}

// What the cook is told at the end.
void sayHowItEnded(QWidget *parent, const ImportJob &job)
{
    switch (job.end()) {
    case ImportJob::End::Done: tell(parent, importSummary(job.prepared(), job.tally())); break;
    case ImportJob::End::Cancelled: tell(parent, QStringLiteral("导入已取消，菜谱没有改动。")); break;
    case ImportJob::End::NoSafetyCopy: break;   // the cook chose so
    case ImportJob::End::NotWritten:
        tell(parent, QStringLiteral("导入失败，菜谱没有改动：") + job.refusal());
        break;
    }
}

} // namespace

void importRecipes(QWidget *parent, Catalogue &catalogue, const QStringList &paths, const QString &category)
{
    if (paths.isEmpty())
        return;
    auto *job = new ImportJob(catalogue, paths, category, parent);
    job->safetyCopy = [parent, &catalogue] { return safetyCopyFirst(parent, catalogue, Backup::Reason::Import); };
    job->keepTraditional = !DialogService::instance().simplifiesTraditional();
    QObject::connect(job, &ImportJob::stageBegun, job,
                     [parent](ImportJob::Stage stage, const QFuture<void> &running, std::shared_ptr<Progress> progress) {
                         followWithProgress(parent, stageText(stage), running, std::move(progress));
                     });
    QObject::connect(job, &ImportJob::finished, job, [parent, job] {
        job->deleteLater();
        sayHowItEnded(parent, *job);
    });
    if (!job->start()) {
        tellExchangeRunning(parent);
        delete job;
    }
}

void chooseAndImport(QWidget *parent, Catalogue &catalogue, const QString &category)
{
    importRecipes(parent, catalogue, DialogService::instance().openRecipeSources(parent), category);
}
