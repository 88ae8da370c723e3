#include "core/filedialogs.h"

#include "core/appinfo.h"
#include "core/recipekinds.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeView>


namespace {

QString startFolder(const QString &folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

// The type column in Chinese, whatever language the system speaks: Qt's
// own words for it are not translated, and a file's kind would follow the
// system's language.
class ChineseFileTypes : public QFileIconProvider {
public:
    QString type(const QFileInfo &info) const override
    {
        if (info.isRoot())
            return QStringLiteral("驱动器");
        if (info.isDir())
            return QStringLiteral("文件夹");
        if (info.isSymLink() && !info.exists())
            return QStringLiteral("快捷方式");
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("文件") : suffix.toUpper() + QStringLiteral(" 文件");
    }
};

// Sizes and dates as a Chinese reader writes them, whatever language the
// system speaks: "582 字节", "30.9 KB", "2026-12-10 15:14".
class ChineseColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    static QString sizeText(qint64 bytes)
    {
        if (bytes < 1024)
            return QStringLiteral("%1 字节").arg(bytes);
        return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    }
    static QString timeText(const QDateTime &time) { return time.toString(QStringLiteral("yyyy-MM-dd HH:mm")); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == 3)
            return timeText(files->lastModified(source));
        return files->isDir(source) ? QString() : sizeText(files->size(source));
    }
};

// The widest of `samples` in the header's face, with the room a column
// leaves around its text.
int columnWidth(const QHeaderView &header, const QStringList &samples)
{
    const QFontMetrics metrics(header.font());
    int widest = 0;
    for (const QString &sample : samples)
        widest = std::max(widest, metrics.horizontalAdvance(sample));
    return widest + 4 * metrics.averageCharWidth() + header.style()->pixelMetric(QStyle::PM_HeaderMargin) * 2;
}

// The file the cook chose, or "" when cancelled.
QString chosenFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

} // namespace

void dressFileDialog(QFileDialog &dialog)
{
    static ChineseFileTypes types;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&types);
    dialog.setProxyModel(new ChineseColumns(&dialog));
    auto *files = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!files)
        return;
    // Sizes and dates as the list writes them, at their widest.
    QHeaderView *header = files->header();
    const auto title = [header](int column) { return header->model()->headerData(column, Qt::Horizontal).toString(); };
    header->resizeSection(1, columnWidth(*header, {ChineseColumns::sizeText(1023), ChineseColumns::sizeText(qint64(1023) << 20),
                                                   title(1)}));
    header->resizeSection(2, columnWidth(*header, {QStringLiteral("JPEG 文件"), title(2)}));
    header->resizeSection(3, columnWidth(*header, {ChineseColumns::timeText(QDateTime(QDate(2026, 12, 28), QTime(23, 58))),
                                                   title(3)}));
}

QStringList chooseRecipeSources(QWidget *parent, QString &folder, bool &simplify)
{
    // Files are chosen as in any file dialog (a folder typed or picked is
    // opened to look inside); the folder shown is imported whole only by
    // the button that says so.
    QFileDialog dialog(parent, QStringLiteral("导入菜谱"), startFolder(folder), RecipeKinds::chooserFilter());
    dressFileDialog(dialog);
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
    const bool pdf = target == DialogService::PdfFile;
    const bool text = target == DialogService::TextFile;
    const QString title = target == DialogService::Folder ? QStringLiteral("网页菜谱保存到文件夹")
                          : text                         ? QStringLiteral("另存为")
                          : pdf                          ? QStringLiteral("保存 PDF 菜谱书")
                                                         : QStringLiteral("保存菜谱压缩包");
    const QString filter = target == DialogService::Folder ? QString()
                           : text                         ? QStringLiteral("文本文件 (*.txt)")
                           : pdf                          ? QStringLiteral("PDF 文件 (*.pdf)")
                                                          : QStringLiteral("压缩包 (*.zip)");
    QFileDialog dialog(parent, title, startFolder(folder), filter);
    dressFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::ShowDirsOnly, target == DialogService::Folder);
    dialog.selectFile(suggestedName);
    QString chosen = chosenFile(dialog);
    if (target != DialogService::Folder) {
        const QString suffix = text ? QStringLiteral(".txt") : pdf ? QStringLiteral(".pdf") : QStringLiteral(".zip");
        if (!chosen.isEmpty() && !chosen.endsWith(suffix, Qt::CaseInsensitive))
            chosen += suffix;
    }
    if (!chosen.isEmpty())
        folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString choosePictureFile(QWidget *parent, QString &folder)
{
    if (folder.isEmpty()) {
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        folder = QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
    }
    QFileDialog dialog(parent, QString::fromUtf8(DialogService::PictureTitle), folder,
                       QString::fromUtf8(DialogService::PictureFilter));
    dressFileDialog(dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QString chosen = chosenFile(dialog);
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
    dressMessageBox(box);
    box.exec();
    return box.clickedButton() == open;
}
