#include "editing/tagswindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/registry.h"
#include "core/textboxes.h"
#include "editing/editkit.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"

#include <QLabel>
#include <QLineEdit>

namespace zx {

TagsWindow::TagsWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("tags"), QStringLiteral("：：标签：："), Skin::CloseOnly, 5685, 1920, 0),
      m_catalogue(catalogue)
{
    const Form::Controls make(this);
    m_subject = make.label(QStringLiteral("Label1_0"), QString(), {330, 660, 4875, 255});
    make.label(QStringLiteral("Label1_1"), QStringLiteral("标签："), {330, 1117, 720, 255});
    m_tags = make.lineBox(QStringLiteral("Text1"), QStringLiteral("标签"), {1050, 1080, 2610, 330});
    m_store = make.pictureButton(QStringLiteral("Image1"), QStringLiteral("更 新"),
                                 QStringLiteral(":/buttons/update.png"), {3795, 1005, 1410, 480});
    EditKit::offerTagsInUse(m_tags, m_catalogue);
    connect(m_store, &ImageControl::clicked, this, &TagsWindow::store);
    connect(m_tags, &QLineEdit::returnPressed, this, &TagsWindow::store);
    centreOnScreen();
}

void TagsWindow::editDish(qint64 id, const QString &name)
{
    m_dish = id;
    m_category.clear();
    m_subject->setText(shortenedForMessage(name));
    m_tags->setText(Marks::joinTags(m_catalogue.marks().tagsOf(id)));
    m_loaded = m_tags->text();
    m_tags->setFocus();
}

void TagsWindow::tagCategory(const QString &category)
{
    m_dish = 0;
    m_category = category;
    m_subject->setText(QStringLiteral("给本分类加标签：") + shortenedForMessage(category));
    m_tags->clear();
    m_loaded.clear();
    m_tags->setFocus();
}

bool TagsWindow::hasPendingInput() const { return m_tags->text() != m_loaded; }

void TagsWindow::store()
{
    const std::optional<QStringList> tags = EditKit::typedTags(this, m_tags->text());
    if (!tags)
        return;
    if (m_dish == 0 && tags->size() != 1) {
        tell(this, QStringLiteral("请填一个标签。"));
        return;
    }
    std::optional<StoreError> failed;
    bool gone = false;
    if (m_dish != 0) {
        const StoreResult<bool> done = m_catalogue.setTags(m_dish, *tags);
        failed = done ? std::nullopt : std::optional(done.error());
        gone = done && !*done;
    } else {
        const StoreResult<qint64> done = m_catalogue.tagCategory(m_category, tags->first());
        failed = done ? std::nullopt : std::optional(done.error());
    }
    if (failed) {
        tell(this, QStringLiteral("保存标签失败：") + failed->userText());
        return;
    }
    if (gone) {
        tell(this, QStringLiteral("这道菜谱已不存在，可能已被删除。"));
        return;
    }
    m_loaded = m_tags->text();
    Windows::unloadWindow(this);
}

} // namespace zx
