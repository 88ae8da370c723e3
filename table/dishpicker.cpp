#include "table/dishpicker.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/registry.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace zx {

namespace {
constexpr int Shown = 300;   // found dishes listed at most
}

DishPicker::DishPicker(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("dishpicker"), QStringLiteral("：：选一道菜：："), Skin::CloseOnly, 5400, 5400, 0),
      m_catalogue(catalogue)
{
    const Form::Controls make(this);
    make.label(QStringLiteral("pickLabel"), QStringLiteral("菜名或拼音："), {300, 700});
    m_name = make.lineBox(QStringLiteral("pickName"), QStringLiteral("菜名或拼音"), {1650, 660, 3450, 330});
    m_found = make.listBox(QStringLiteral("pickList"), QStringLiteral("找到的菜"), {300, 1140, 4800, 3360});
    ImageControl *ok = make.pictureButton(QStringLiteral("pickButton"), QStringLiteral("选 定"),
                                          QStringLiteral(":/buttons/pick.png"), {3690, 4650, 1410, 480});
    connect(m_name, &QLineEdit::textChanged, this, &DishPicker::search);
    connect(m_name, &QLineEdit::returnPressed, this, &DishPicker::pick);
    connect(m_found, &QListWidget::itemActivated, this, &DishPicker::pick);
    connect(ok, &ImageControl::clicked, this, &DishPicker::pick);
    m_name->installEventFilter(this);
    centreOnScreen();
}

void DishPicker::pickFor(const QString &what, std::function<void(qint64, const QString &)> picked)
{
    setWindowTitle(QStringLiteral("：：选一道菜：：") + what);
    m_picked = std::move(picked);
    m_name->clear();
    m_found->clear();
    m_name->setFocus();
}

void DishPicker::search()
{
    m_found->clear();
    const QString text = m_name->text().trimmed();
    if (text.isEmpty())
        return;
    const auto found = m_catalogue.searchNames(text);
    if (!found)
        return;
    for (const DishRecord &dish : *found) {
        if (m_found->count() >= Shown)
            break;
        auto *item = new QListWidgetItem(dish.name.trimmed(), m_found);
        item->setData(Qt::UserRole, dish.id);
    }
    if (m_found->count() > 0)
        m_found->setCurrentRow(0);
}

void DishPicker::pick()
{
    QListWidgetItem *item = m_found->currentItem();
    if (!item) {
        tell(this, QStringLiteral("请先找到并选中一道菜。"));
        return;
    }
    const auto picked = std::move(m_picked);
    const qint64 id = item->data(Qt::UserRole).toLongLong();
    const QString name = item->text();
    Windows::unloadWindow(this);
    if (picked)
        picked(id, name);
}

// Down in the name box goes on to the list.
bool DishPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_name && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down && m_found->count() > 0) {
        m_found->setFocus();
        return true;
    }
    return FramedWindow::eventFilter(watched, event);
}

} // namespace zx
