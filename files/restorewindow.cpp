#include "files/restorewindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/safetycopy.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"
#include "store/backup.h"

#include <QApplication>
#include <QDateTime>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

namespace zx {

namespace {
constexpr int CopyPathRole = Qt::UserRole;
constexpr int CopyTimeRole = Qt::UserRole + 1;
// The entry's columns: time, why, then the dish and category counts (or,
// for a copy that cannot be used, why not).
constexpr int ColumnsRole = Qt::UserRole + 2;
const char *const TimeFormat = "yyyy-MM-dd HH:mm:ss";

// Draws each entry's columns one under the other down the list: the times,
// the reasons and the counts line up whatever their lengths, the counts
// set right so that their digits stand in columns.
class CopyColumns : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The widest text of each column over the whole list.
    void measure(const QListWidget &list)
    {
        m_widths.clear();
        const QFontMetrics metrics(list.font());
        for (int row = 0; row < list.count(); ++row) {
            const QStringList columns = list.item(row)->data(ColumnsRole).toStringList();
            for (qsizetype i = 0; i < columns.size(); ++i) {
                if (m_widths.size() <= i)
                    m_widths.append(0);
                if (columns.size() == 4 || i < 2)   // a copy's problem spans the rest
                    m_widths[i] = std::max(m_widths[i], metrics.horizontalAdvance(columns[i]));
            }
        }
        m_gap = 2 * metrics.horizontalAdvance(QChar(0x4e2d));
    }

    // As wide as the columns with the gaps between them.
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QStringList columns = index.data(ColumnsRole).toStringList();
        int width = 2 * m_gap;
        for (qsizetype i = 0; i < columns.size(); ++i)
            width += columns.size() < 4 && i == columns.size() - 1 ? option.fontMetrics.horizontalAdvance(columns[i])
                                                                    : m_widths.value(i) + m_gap;
        size.setWidth(std::max(size.width(), width));
        return size;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QStringList columns = index.data(ColumnsRole).toStringList();
        if (columns.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget *view = option.widget;
        QStyle *style = view ? view->style() : QApplication::style();
        QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
        area.setRight(option.rect.right() - style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view));
        item.text.clear();   // the background and the selection; the columns come below
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);
        const QPalette::ColorGroup group = item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setPen(item.palette.color(group, item.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                        : QPalette::Text));
        int left = area.left() + 2;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            // A copy's problem takes what is left of the row.
            const bool rest = columns.size() < 4 && i == columns.size() - 1;
            const int width = rest ? area.right() - left : m_widths.value(i);
            const QRect cell(left, area.top(), width, area.height());
            const Qt::Alignment align = columns.size() == 4 && i >= 2 ? Qt::AlignRight : Qt::AlignLeft;
            painter->drawText(cell, align | Qt::AlignVCenter,
                              item.fontMetrics.elidedText(columns[i], Qt::ElideRight, cell.width()));
            left += width + m_gap;
        }
        painter->restore();
    }

private:
    QVector<int> m_widths;
    int m_gap = 0;
};

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
    m_copies->setItemDelegate(new CopyColumns(m_copies));
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
        QStringList columns{copy.when.toString(QString::fromLatin1(TimeFormat)), kindOf(copy.reason)};
        auto *item = new QListWidgetItem(m_copies);
        if (copy.problem.isEmpty()) {
            columns << QStringLiteral("%1 道美食，").arg(copy.dishes) << QStringLiteral("%1 个分类").arg(copy.categories);
        } else {
            columns << QStringLiteral("无法使用：") + copy.problem;
            item->setFlags(Qt::NoItemFlags);   // greyed, never chosen
            item->setToolTip(copy.problem);    // the whole reason, where the list cuts it short
        }
        // Read as one line (a screen reader, a copy of the entry).
        QString text = columns.mid(0, 3).join(QStringLiteral("  "));
        if (columns.size() == 4)
            text += columns[3];
        item->setText(text);
        item->setData(ColumnsRole, columns);
        item->setData(CopyPathRole, copy.path);
        item->setData(CopyTimeRole, copy.when.toString(QString::fromLatin1(TimeFormat)));
    }
    if (m_copies->count() == 0)
        new QListWidgetItem(QStringLiteral("“备份”文件夹里还没有备份。"), m_copies);
    static_cast<CopyColumns *>(m_copies->itemDelegate())->measure(*m_copies);
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
