#include "editing/exportwindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "editing/progressrun.h"
#include "exchange/exportsnapshot.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QUrl>

#include <memory>

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

// What the export writes, read at one moment; nothing (after saying why)
// when it cannot be read.
std::optional<ExportSnapshot> snapshotOf(QWidget *parent, Catalogue &catalogue, const QString &category)
{
    const StoreResult<ExportRows> rows = catalogue.everything();
    if (!rows) {
        tell(parent, QStringLiteral("无法读出菜谱：") + rows.error().userText());
        return std::nullopt;
    }
    std::optional<ExportSnapshot> snapshot = makeSnapshot(*rows, category, catalogue.dataFolder(), QDate::currentDate());
    if (!snapshot)
        tell(parent, QStringLiteral("分类“%1”已经不在了。").arg(category.trimmed()));
    return snapshot;
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
    m_pdfChoice->setChecked(true);
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

std::optional<ExportOutcome> ExportWindow::writeChosen(ExportFormat format, const QString &out)
{
    const ExchangeTurn turn(this, m_catalogue);
    if (!turn)
        return std::nullopt;
    const std::optional<ExportSnapshot> snapshot = snapshotOf(this, m_catalogue, m_category);
    if (!snapshot)
        return std::nullopt;
    auto progress = std::make_shared<ExportProgress>();
    const ProgressCounters counters{&progress->done, &progress->total, &progress->cancelled};
    return runWithProgress(this, QStringLiteral("正在导出菜谱…"), counters, [format, snapshot, out, progress] {
        return writeCookbook(format, *snapshot, out, *progress);
    });
}

void ExportWindow::exportChosen()
{
    const int option = m_webChoice->isChecked() ? 1 : m_archiveChoice->isChecked() ? 2 : 0;
    const Choice choice = choiceOf(option);
    const QString title = m_category.isEmpty() ? AllRecipesTitle : m_category.trimmed();
    const QString out = DialogService::instance().saveExport(this, choice.target,
                                                             title + QString::fromLatin1(choice.suffix));
    if (out.isEmpty())
        return;
    const std::optional<ExportOutcome> done = writeChosen(choice.format, out);
    if (!done)
        return;
    sayDone(this, *done, out, choice.format);
    if (done->ok)
        closeFromFrame();
}

} // namespace zx
