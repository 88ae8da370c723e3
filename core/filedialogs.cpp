#include "core/filedialogs.h"

#include "core/appinfo.h"
#include "core/recipekinds.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>


namespace {

QString startFolder(const QString &folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

} // namespace

QStringList chooseRecipeSources(QWidget *parent, QString &folder, bool &simplify)
{
    // Files are chosen as in any file dialog (a folder typed or picked is
    // opened to look inside); the folder shown is imported whole only by
    // the button that says so.
    QFileDialog dialog(parent, QStringLiteral("导入菜谱"), startFolder(folder), RecipeKinds::chooserFilter());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    auto *simplifyBox = new QCheckBox(QStringLiteral("繁体转简体"), &dialog);
    simplifyBox->setObjectName(QStringLiteral("simplify"));
    simplifyBox->setChecked(simplify);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(simplifyBox, grid->rowCount(), 0, 1, grid->columnCount());
    bool wholeFolder = false;
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>()) {
        QPushButton *importFolder = buttons->addButton(QStringLiteral("导入整个文件夹"), QDialogButtonBox::ActionRole);
        importFolder->setObjectName(QStringLiteral("importFolder"));
        importFolder->setAutoDefault(false);
        importFolder->setMinimumWidth(importFolder->sizeHint().width());
        QObject::connect(importFolder, &QPushButton::clicked, &dialog, [&] {
            wholeFolder = true;
            dialog.QDialog::accept();
        });
    }
    dialog.resize(dialog.sizeHint().expandedTo(dialog.size()));   // room for the longer button
    if (dialog.exec() != QDialog::Accepted)
        return {};
    simplify = simplifyBox->isChecked();
    folder = dialog.directory().absolutePath();
    return wholeFolder ? QStringList{folder} : dialog.selectedFiles();
}

QString chooseExportTarget(QWidget *parent, DialogService::ExportTarget target, const QString &suggestedName,
                           QString &folder)
{
    const QString start = QDir(startFolder(folder)).filePath(suggestedName);
    QString chosen;
    if (target == DialogService::Folder) {
        chosen = QFileDialog::getSaveFileName(parent, QStringLiteral("网页菜谱保存到文件夹"), start, QString(), nullptr,
                                              QFileDialog::ShowDirsOnly);
    } else if (target == DialogService::TextFile) {
        chosen = QFileDialog::getSaveFileName(parent, QStringLiteral("另存为"), start, QStringLiteral("文本文件 (*.txt)"));
        if (!chosen.isEmpty() && !chosen.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            chosen += QLatin1String(".txt");
    } else {
        const bool pdf = target == DialogService::PdfFile;
        chosen = QFileDialog::getSaveFileName(parent, pdf ? QStringLiteral("保存 PDF 菜谱书") : QStringLiteral("保存菜谱压缩包"),
                                              start, pdf ? QStringLiteral("PDF 文件 (*.pdf)") : QStringLiteral("压缩包 (*.zip)"));
        const QString suffix = pdf ? QStringLiteral(".pdf") : QStringLiteral(".zip");
        if (!chosen.isEmpty() && !chosen.endsWith(suffix, Qt::CaseInsensitive))
            chosen += suffix;
    }
    if (!chosen.isEmpty())
        folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

bool askOpenFolder(QWidget *parent, const QString &text)
{
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromUtf8(App::AppTitle));
    box.setText(text);
    box.setIcon(QMessageBox::Information);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    QPushButton *open = box.addButton(QStringLiteral("打开文件夹"), QMessageBox::ActionRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return box.clickedButton() == open;
}
