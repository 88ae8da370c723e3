#include "editing/categorywindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/textboxes.h"
#include "editing/editkit.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace zx {

CategoryWindow::CategoryWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("addmulu"), QStringLiteral("：：菜谱分类：："), Skin::ThreeButton, 5685,
                   3600, 0),
      m_catalogue(catalogue)
{
    buildAddPanel();
    buildDeletePanel();
    loadContents();
}

// Each button after what it works on: the name, 新增分类, the list, 删除分类.
void CategoryWindow::arrangeTabOrder()
{
    FramedWindow::arrangeTabOrder();
    setTabOrder(m_name, m_addButton);
    setTabOrder(m_addButton, m_categories);
    setTabOrder(m_categories, m_deleteButton);
}

// Top row: caption, new name, add button, and the rule under them.
void CategoryWindow::buildAddPanel()
{
    const Form::Controls make(this);
    make.label(QStringLiteral("Label1_0"), QStringLiteral("添加新分类："), {330, 817, 1080, 255});
    m_name = make.lineBox(QStringLiteral("Text1"), QStringLiteral("添加新分类"), {1410, 780, 2250, 330});
    m_addButton = make.pictureButton(QStringLiteral("Image1"), QStringLiteral("新增分类"),
                                  QStringLiteral(":/buttons/add_category.png"), {3795, 705, 1410, 480});
    make.rule(QStringLiteral("Line1"), {330, 1305, 4875, 30});
    connect(m_addButton, &ImageControl::clicked, this, &CategoryWindow::addCategory);
    connect(m_name, &QLineEdit::returnPressed, this, &CategoryWindow::addCategory);   // Enter adds
}

// Below: the list on the left; delete button, short rule and hint on its right.
void CategoryWindow::buildDeletePanel()
{
    const Form::Controls make(this);
    make.label(QStringLiteral("Label1_1"), QStringLiteral("选择类别："), {330, 1425, 1500, 255});
    m_categories = make.listBox(QStringLiteral("List1"), QStringLiteral("选择类别"), {330, 1695, 2850, 1245});
    m_deleteButton = make.pictureButton(QStringLiteral("Image2"), QStringLiteral("删除分类"),
                                  QStringLiteral(":/buttons/delete_category.png"), {3600, 1755, 1410, 480});
    make.rule(QStringLiteral("Line2"), {3360, 2370, 1890, 30});
    make.label(QStringLiteral("Label2"), QStringLiteral("请先选择分类后再删除！"), {3300, 2490, 2010, 255})
        ->setAlignment(Qt::AlignCenter);
    connect(m_deleteButton, &ImageControl::clicked, this, &CategoryWindow::deleteCategory);
}

void CategoryWindow::loadContents()
{
    centreOnScreen();
    EditKit::bindCategoryList(m_categories, m_catalogue, this);
    m_catalogue.setSelectedCategory(QString());
}

void CategoryWindow::addCategory()
{
    // Blanks of any kind around the name (a full-width one from a Chinese
    // keyboard too) are no part of it; a name of blanks alone is no name.
    const QString name = trimTyped(m_name->text());
    if (name.isEmpty()) {
        tellPlainly(this, QStringLiteral("请填写菜谱分类名称！"));
        return;
    }
    if (alreadyListed(name))
        return;
    const StoreResult<qint64> added = m_catalogue.addCategory(name);
    if (!added) {
        tell(this, QStringLiteral("新增分类失败：") + added.error().userText());
        return;
    }
    m_name->clear();
    if (!m_catalogue.lastRefresh())
        tell(this, QStringLiteral("分类“") + name + QStringLiteral("”已保存，但目录树未能刷新：")
                       + m_catalogue.lastRefresh().error().userText());
}

// A name that, without its outer blanks, is already a category is refused;
// files that hold such twins already keep working.
bool CategoryWindow::alreadyListed(const QString &name)
{
    const StoreResult<QVector<CategoryRecord>> rows = m_catalogue.categoryRows();
    if (!rows) {
        tell(this, QStringLiteral("新增分类失败：") + rows.error().userText());
        return true;
    }
    for (const CategoryRecord &row : rows.value()) {
        if (trimTyped(row.category) == name) {
            tell(this, QStringLiteral("分类“") + name + QStringLiteral("”已经存在！"));
            return true;
        }
    }
    return false;
}

void CategoryWindow::deleteCategory()
{
    const QString category = m_catalogue.selectedCategory();
    if (category.isEmpty()) {
        tellPlainly(this, QStringLiteral("请先选择分类"));
        return;
    }
    // All or nothing: on a failure no dish and no category row is gone, and
    // the category stays selected.
    if (EditKit::deleteCategory(this, m_catalogue, category))
        m_catalogue.setSelectedCategory(QString());
}

} // namespace zx
