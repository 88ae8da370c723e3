#include "files/restorewindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/safetycopy.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"
#include "store/backup.h"

#include <QDateTime>
#include <QListWidget>

namespace zx {

namespace {
constexpr int CopyPathRole = Qt::UserRole;
constexpr int CopyTimeRole = Qt::UserRole + 1;
const char *const TimeFormat = "yyyy-MM-dd HH:mm:ss";

QString kindOf(Backup::Reason reason)
{
    switch (reason) {
    case Backup::Reason::Edit: return QStringLiteral("修改前");
    case Backup::Reason::CategoryDeletion: return QStringLiteral("删除分类前");
    case Backup::Reason::DishDeletion: return QStringLiteral("删除菜谱前");
    case Backup::Reason::Import: return QStringLiteral("导入前");
    case Backup::Reason::Restore: return QStringLiteral("恢复前");
    case Backup::Reason::Damaged: return QStringLiteral("损坏的文件");
    case Backup::Reason::Access: return QStringLiteral("Access 原文件");
    }
    return QString();
}
} // namespace

RestoreWindow::RestoreWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("restore"), QStringLiteral("：：恢复备份：："), Skin::CloseOnly, 7200, 4800, 0),
      m_catalogue(catalogue)
{
    const Form::Controls make(this);
    make.label(QStringLiteral("Label1"), QStringLiteral("备份（最新的在前）："), {360, 600, 4000, 255});
    m_copies = make.listBox(QStringLiteral("List1"), QStringLiteral("备份"), {360, 900, 6480, 2940});
    m_copies->setSelectionMode(QAbstractItemView::SingleSelection);
    m_restoreButton = make.pictureButton(QStringLiteral("Image1"), QStringLiteral("恢 复"),
                                  QStringLiteral(":/buttons/restore.png"), {5430, 4020, 1410, 480});
    connect(m_restoreButton, &ImageControl::clicked, this, &RestoreWindow::restoreSelected);
    connect(m_copies, &QListWidget::itemActivated, this, &RestoreWindow::restoreSelected);
    listCopies();
    centreOnScreen();
}

void RestoreWindow::listCopies()
{
    m_copies->clear();
    for (const Backup::CopyInfo &copy : Backup::listCopies(m_catalogue.storePath())) {
        QString text = copy.when.toString(QString::fromLatin1(TimeFormat)) + QStringLiteral("  ") + kindOf(copy.reason);
        auto *item = new QListWidgetItem(m_copies);
        if (copy.problem.isEmpty()) {
            text += QStringLiteral("  %1 道美食，%2 个分类").arg(copy.dishes).arg(copy.categories);
        } else {
            text += QStringLiteral("  无法使用：") + copy.problem;
            item->setFlags(Qt::NoItemFlags);   // greyed, never chosen
        }
        item->setText(text);
        item->setData(CopyPathRole, copy.path);
        item->setData(CopyTimeRole, copy.when.toString(QString::fromLatin1(TimeFormat)));
    }
    if (m_copies->count() == 0)
        new QListWidgetItem(QStringLiteral("“备份”文件夹里还没有备份。"), m_copies);
}

void RestoreWindow::selectNewestUsable()
{
    for (int row = 0; row < m_copies->count(); ++row) {
        if (m_copies->item(row)->flags() & Qt::ItemIsSelectable) {
            m_copies->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            m_copies->setFocus();
            return;
        }
    }
}

bool RestoreWindow::keepCurrentFile()
{
    const StoreStatus usable = m_catalogue.checkUsable();
    if (usable)
        return safetyCopyFirst(this, m_catalogue, Backup::Reason::Restore);
    switch (usable.error().kind) {
    case StoreError::Missing:
        return true;
    case StoreError::Busy:
        tell(this, usable.error().userText());
        return false;
    default:
        break;
    }
    const StoreResult<QString> setAside = Backup::setAside(m_catalogue.storePath(), QDateTime::currentDateTime());
    if (!setAside)
        tell(this, QStringLiteral("无法把损坏的 cate.mdb 移到“备份”里，没有恢复：") + setAside.error().userText());
    return setAside.ok();
}

void RestoreWindow::restoreSelected()
{
    const QList<QListWidgetItem *> chosen = m_copies->selectedItems();
    if (chosen.isEmpty() || chosen.first()->data(CopyPathRole).toString().isEmpty()) {
        tell(this, QStringLiteral("请先选择要恢复的备份。"));
        return;
    }
    const QString copy = chosen.first()->data(CopyPathRole).toString();
    const QString question = QStringLiteral("用 %1 的备份替换现在的菜谱吗？\r\n现在的菜谱会先另存一份备份。")
                                 .arg(chosen.first()->data(CopyTimeRole).toString());
    if (DialogService::instance().message(this, question, QString(), DialogService::YesNo, DialogService::No,
                                          DialogService::Stop)
        != DialogService::Yes)
        return;
    if (!keepCurrentFile())
        return;
    const StoreStatus restored = Backup::restoreCopy(m_catalogue.storePath(), copy);
    if (!restored) {
        tell(this, QStringLiteral("恢复失败，现在的菜谱没有改变：") + restored.error().userText());
        return;
    }
    m_catalogue.followOutsideChanges();
    listCopies();
}

} // namespace zx
