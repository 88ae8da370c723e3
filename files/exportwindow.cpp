#include "files/exportwindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/remembered.h"
#include "exchange/exportjob.h"
#include "exchange/exportsnapshot.h"
#include "files/progresswindow.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QUrl>

namespace zx {

namespace {

struct Choice {
    ExportFormat format;
    DialogService::ExportTarget target;
    const char *suffix;
};

Choice choiceOf(int option)
{
    switch (option) {
    case 1: return {ExportFormat::Html, DialogService::Folder, ""};
    case 2: return {ExportFormat::Json, DialogService::ZipFile, ".zip"};
    default: return {ExportFormat::Pdf, DialogService::PdfFile, ".pdf"};
    }
}

// Why the export was not begun, told.
void sayNotBegun(QWidget *parent, const ExportJob &job, ExportJob::Refusal refusal, const QString &category)
{
    switch (refusal) {
    case ExportJob::Refusal::None: break;
    case ExportJob::Refusal::Busy: tellExchangeRunning(parent); break;
    case ExportJob::Refusal::Unreadable: tell(parent, QStringLiteral("无法读出菜谱：") + job.unreadable()); break;
    case ExportJob::Refusal::NoSuchCategory:
        tell(parent, QStringLiteral("分类“%1”已经不在了。").arg(category.trimmed()));
        break;
    }
}

void sayDone(QWidget *parent, const ExportOutcome &done, const QString &out, ExportFormat format)
{
    if (!done.ok) {
        tell(parent, done.cancelled ? QStringLiteral("导出已取消，没有留下文件。") : done.error);
        return;
    }
    if (DialogService::instance().tellWithOpenFolder(parent, exportDoneText(done, out))) {
        const QString folder = format == ExportFormat::Html ? out : QFileInfo(out).absolutePath();
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }
}

} // namespace

ExportWindow::ExportWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("exportwin"), QStringLiteral("：：导出菜谱：："), Skin::CloseOnly, 5400, 3840, 0),
      m_catalogue(catalogue)
{
    const Form::Controls make(this);
    m_heading = make.label(QStringLiteral("Label1"), QString(), {360, 600, 4680, 255});
    make.label(QStringLiteral("Label2"), QStringLiteral("导出成："), {360, 1020, 1500, 255});
    m_pdfChoice = make.option(QStringLiteral("Option1"), QStringLiteral("PDF 菜谱书"), {720, 1380, 3600, 300});
    m_webChoice = make.option(QStringLiteral("Option2"), QStringLiteral("网页"), {720, 1800, 3600, 300});
    m_archiveChoice = make.option(QStringLiteral("Option3"), QStringLiteral("菜谱压缩包"), {720, 2220, 3600, 300});
    // The kind exported last, while the program runs.
    QRadioButton *const choices[] = {m_pdfChoice, m_webChoice, m_archiveChoice};
    const int last = Remembered::exportKind();
    choices[last >= 0 && last < 3 ? last : 0]->setChecked(true);
    m_exportButton = make.pictureButton(QStringLiteral("Image1"), QStringLiteral("导 出"),
                                  QStringLiteral(":/buttons/export.png"), {3630, 3060, 1410, 480});
    connect(m_exportButton, &ImageControl::clicked, this, &ExportWindow::exportChosen);
    setCategory(QString());
    centreOnScreen();
}

void ExportWindow::setCategory(const QString &category)
{
    m_category = category;
    m_heading->setText(category.isEmpty() ? QStringLiteral("导出：全部菜谱")
                                         : QStringLiteral("导出分类：") + category.trimmed());
}

void ExportWindow::closeFromFrame()
{
    if (noExchangeRunning(this, m_catalogue))
        FramedWindow::closeFromFrame();
}

// Enter anywhere in the window presses 导 出, as the default button would.
void ExportWindow::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & ~Qt::KeypadModifier)) {
        event->accept();
        if (!event->isAutoRepeat())
            exportChosen();
        return;
    }
    FramedWindow::keyPressEvent(event);
}

void ExportWindow::exportChosen()
{
    const int option = m_webChoice->isChecked() ? 1 : m_archiveChoice->isChecked() ? 2 : 0;
    Remembered::setExportKind(option);
    const Choice choice = choiceOf(option);
    const QString title = m_category.isEmpty() ? AllRecipesTitle : m_category.trimmed();
    const QString out = DialogService::instance().saveExport(this, choice.target,
                                                             title + QString::fromLatin1(choice.suffix));
    if (out.isEmpty())
        return;
    auto *job = new ExportJob(m_catalogue, m_category, choice.format, out, this);
    connect(job, &ExportJob::writingBegun, this, [this](const QFuture<void> &stage, std::shared_ptr<Progress> progress) {
        followWithProgress(this, QStringLiteral("正在导出菜谱…"), stage, std::move(progress));
    });
    connect(job, &ExportJob::finished, this, [this, job, out, format = choice.format] {
        job->deleteLater();
        sayDone(this, job->outcome(), out, format);
        if (job->outcome().ok)
            closeFromFrame();
    });
    const ExportJob::Refusal refusal = job->start();
    if (refusal != ExportJob::Refusal::None) {
        sayNotBegun(this, *job, refusal, m_category);
        delete job;
    }
}

} // namespace zx
