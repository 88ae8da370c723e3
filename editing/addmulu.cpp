#include "editing/addmulu.h"
#include "editing/editkit.h"
#include "app/catalogue.h"
#include "app/dialogs.h"
#include "app/globals.h"
#include "skin/imagecontrol.h"
#include "store/recipestore.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

addmulu::addmulu()
    : FramedWindow(QStringLiteral("addmulu"), QStringLiteral("：：菜谱分类：："), Skin::ThreeButton, 5685,
                   3600, 0)
{
    buildControls();
    Form_Load();
}

void addmulu::buildControls()
{
    // Top row: caption, new name, add button.
    m_Label1[0] = EditKit::label(this, QStringLiteral("Label1_0"), QStringLiteral("添加新分类："), 330,
                                 817, 1080, 255);
    m_Text1 = new QLineEdit(this);
    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->setAccessibleName(QStringLiteral("添加新分类"));
    place(m_Text1, 1410, 780, 2250, 330);
    m_Image1 = makePictureButton(this, QStringLiteral("Image1"), QStringLiteral("新增分类"),
                                 QStringLiteral(":/buttons/add_category.png"), 3795, 705, 1410, 480);

    m_Line1 = EditKit::rule(this, QStringLiteral("Line1"), 330, 1305, 4875);

    // Below: the list on the left; delete button, short rule and hint on its right.
    m_Label1[1] = EditKit::label(this, QStringLiteral("Label1_1"), QStringLiteral("选择类别："), 330,
                                 1425, 1500, 255);
    m_List1 = new QListWidget(this);
    m_List1->setObjectName(QStringLiteral("List1"));
    m_List1->setAccessibleName(QStringLiteral("选择类别"));
    place(m_List1, 330, 1695, 2850, 1245);

    m_Image2 = makePictureButton(this, QStringLiteral("Image2"), QStringLiteral("删除分类"),
                                 QStringLiteral(":/buttons/delete_category.png"), 3600, 1755, 1410, 480);
    m_Line2 = EditKit::rule(this, QStringLiteral("Line2"), 3360, 2370, 1890);
    m_Label2 = EditKit::label(this, QStringLiteral("Label2"), QStringLiteral("请先选择分类后再删除！"), 3300,
                              2490, 2010, 255);
    m_Label2->setAlignment(Qt::AlignCenter);

    setTabOrder(m_Text1, m_List1);

    connect(m_List1, &QListWidget::itemClicked, this, &addmulu::List1_Click);
    connect(m_List1, &QListWidget::itemSelectionChanged, this, [this] {
        if (QListWidgetItem *item = m_List1->currentItem(); item && item->isSelected())
            List1_Click(item);
    });
    connect(m_Image1, &ImageControl::clicked, this, &addmulu::Image1_Click);
    connect(m_Image2, &ImageControl::clicked, this, &addmulu::Image2_Click);
}

void addmulu::Form_Load()
{
    centreOnScreen();
    EditKit::fillCategoryList(m_List1, this);
    App::SelectedCategory().clear();
}

void addmulu::List1_Click(QListWidgetItem *item)
{
    if (item)
        App::SelectedCategory() = item->text();
}

void addmulu::Image1_Click()
{
    const QString name = m_Text1->text();
    if (name.isEmpty()) {
        tell(this, QStringLiteral("请填写菜谱分类名称！"));
        return;
    }
    // Stored as typed, blanks and all; the list here is not refilled.
    const StoreResult<qint64> added = RecipeStore::AddCategory(App::storePath(), name);
    if (!added) {
        tell(this, QStringLiteral("新增分类失败：") + added.error().userText());
        return;
    }
    const StoreStatus rebuilt = RebuildCatalogue();
    if (!rebuilt)
        tell(this, QStringLiteral("分类“") + name + QStringLiteral("”已保存，但目录树未能刷新：")
                       + rebuilt.error().userText());
}

void addmulu::Image2_Click()
{
    const QString category = App::SelectedCategory();
    if (category.isEmpty()) {
        tell(this, QStringLiteral("请先选择分类"));
        return;
    }
    const QString question = QStringLiteral("真的要删除 ") + category
                             + QStringLiteral("吗？\r\n此分类下所有菜谱将一起被删除！");
    if (DialogService::instance().message(this, question, QStringLiteral("：：删除分类：："),
                                          DialogService::YesNo, DialogService::No, DialogService::Stop)
        != DialogService::Yes)
        return;

    // All or nothing: on a failure no dish and no category row is gone, and
    // the category stays selected.
    const StoreResult<DeleteOutcome> deleted = RecipeStore::DeleteCategory(App::storePath(), category);
    if (!deleted) {
        tell(this, QStringLiteral("删除分类失败：") + deleted.error().userText());
        return;
    }
    if (deleted->categoryRowDeleted)
        tell(this, QStringLiteral("整个世界都清静了！"));
    App::SelectedCategory().clear();
    const StoreStatus rebuilt = RebuildCatalogue();
    if (!rebuilt)
        tell(this, QStringLiteral("目录树未能刷新：") + rebuilt.error().userText());
}
