#include "app/frmmain.h"

#include "app/catalogue.h"
#include "app/cataloguemodel.h"
#include "app/frmsplash.h"
#include "app/globals.h"
#include "app/pictures.h"
#include "app/recipeprint.h"
#include "app/registry.h"
#include "app/richtextbox.h"
#include "app/textboxes.h"
#include "skin/imagecontrol.h"
#include "skin/twips.h"
#include "editing/add.h"
#include "editing/addmulu.h"
#include "search/daycate.h"
#include "search/find.h"
#include "web/about.h"
#include "web/down.h"
#include "web/newban.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeView>

const char *const frmmain::DesignCaption = "：：灶香居 2004 新春版：：";

FlashBanner::FlashBanner(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("ShockwaveFlash1"));
    setPixmap(QPixmap(QStringLiteral(":/main/banner.png")));
    setScaledContents(true);
}

namespace {
struct ToolbarEntry {
    const char *button;
    const char *caption;
    int labelIndex;
    const char *picture;
};
// Left to right; each button 480 x 480 twips at top 480.
const ToolbarEntry Toolbar[] = {
    {"Image2", "每日菜谱", 0, ":/toolbar/daily.png"},
    {"Image3", "添加美食", 1, ":/toolbar/add.png"},
    {"Image4", "查询/修改", 2, ":/toolbar/find.png"},
    {"Image11", "菜谱分类", 6, ":/toolbar/category.png"},
    {"Image5", "网上升级", 3, ":/toolbar/upgrade.png"},
    {"Image6", "关于软件", 4, ":/toolbar/about.png"},
    {"Image7", "离开小屋", 5, ":/toolbar/exit.png"},
};
const int ToolbarLefts[] = {600, 1680, 2760, 3840, 4920, 6000, 7080};

void openFromToolbar(const QString &button)
{
    if (button == QLatin1String("Image2"))
        Windows::show<daycate>();
    else if (button == QLatin1String("Image3"))
        Windows::show<Add>();
    else if (button == QLatin1String("Image4"))
        Windows::show<::find>();
    else if (button == QLatin1String("Image11"))
        Windows::show<addmulu>();
    else if (button == QLatin1String("Image5"))
        Windows::show<down>();
    else if (button == QLatin1String("Image6"))
        Windows::show<about>();
    else if (button == QLatin1String("Image7"))
        frmmain::Exit();
}
} // namespace

frmmain::frmmain()
    : FramedWindow(QStringLiteral("frmmain"), QString::fromUtf8(DesignCaption), Skin::ThreeButton,
                   10350, 7920, 480)
{
    buildControls();
}

frmmain::~frmmain() = default;

void frmmain::buildControls()
{
    for (int i = 0; i < 7; ++i) {
        const ToolbarEntry &t = Toolbar[i];
        const QString name = QString::fromLatin1(t.button);
        ImageControl *button = makePictureButton(this, name, QString::fromUtf8(t.caption),
                                                 QString::fromLatin1(t.picture), ToolbarLefts[i],
                                                 480, 480, 480);
        connect(button, &ImageControl::clicked, this, [name] { openFromToolbar(name); });

        auto *label = new QLabel(QString::fromUtf8(t.caption), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(t.labelIndex));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        const int width = t.labelIndex == 2 ? 810 : 720;
        place(label, ToolbarLefts[i] + 240 - width / 2.0, 960, width, 255);
    }

    m_banner = new FlashBanner(this);
    place(m_banner, 7800, 480, 2295, 615);

    m_model = new CatalogueModel(this);
    m_Tv = new QTreeView(this);
    m_Tv->setObjectName(QStringLiteral("Tv"));
    m_Tv->setAccessibleName(QStringLiteral("菜谱目录"));
    m_Tv->setModel(m_model);
    m_Tv->setHeaderHidden(true);
    m_Tv->setUniformRowHeights(true);
    m_Tv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_Tv->setSelectionMode(QAbstractItemView::SingleSelection);
    place(m_Tv, 240, 1320, 3375, 4095);
    connect(m_Tv, &QTreeView::clicked, this, &frmmain::nodeClicked);

    // The rebuild's working list of category names; never seen.
    m_List1 = new QListWidget(this);
    m_List1->setObjectName(QStringLiteral("List1"));
    place(m_List1, 480, 1560, 1215, 1035);
    m_List1->hide();

    m_Text1 = new QLineEdit(this);
    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->setAccessibleName(QStringLiteral("菜名"));
    place(m_Text1, 3720, 1320, 6255, 375);

    auto *label3 = new QLabel(QStringLiteral("原   料："), this);
    label3->setObjectName(QStringLiteral("Label3"));
    place(label3, 3720, 1845, 1215, 255);
    m_Boxx3 = new RichTextBox(this);
    m_Boxx3->setObjectName(QStringLiteral("Boxx3"));
    m_Boxx3->setAccessibleName(QStringLiteral("原料"));
    place(m_Boxx3, 3720, 2150, 6255, 1215);

    auto *label2 = new QLabel(QStringLiteral("制作方法："), this);
    label2->setObjectName(QStringLiteral("Label2"));
    place(label2, 3720, 3555, 1215, 255);
    m_Boxx4 = new RichTextBox(this);
    m_Boxx4->setObjectName(QStringLiteral("Boxx4"));
    m_Boxx4->setAccessibleName(QStringLiteral("制作方法"));
    place(m_Boxx4, 3720, 3840, 6255, 2775);

    // Plain copies of the shown ingredients and method, read by the print.
    m_Text3 = new QPlainTextEdit(this);
    m_Text3->setObjectName(QStringLiteral("Text3"));
    place(m_Text3, 4800, 4800, 615, 375);
    m_Text3->hide();
    m_Text4 = new QPlainTextEdit(this);
    m_Text4->setObjectName(QStringLiteral("Text4"));
    place(m_Text4, 5520, 4800, 615, 375);
    m_Text4->hide();

    auto *image9 = new ImageControl(this, QStringLiteral("Image9"));
    image9->setPicture(QPixmap(QStringLiteral(":/main/image9.png")));
    image9->setStretch(true);
    place(image9, 240, 5400, 3375, 2160);
    m_Image8 = new ImageControl(this, QStringLiteral("Image8"));
    place(m_Image8, 480, 5640, 2895, 1695);
    m_Image8->setStretch(true);

    ImageControl *print = makePictureButton(this, QStringLiteral("print"), QStringLiteral("打印菜谱"),
                                            QStringLiteral(":/buttons/print.png"), 3840, 6840, 1410, 480);
    connect(print, &ImageControl::clicked, this, &frmmain::printClicked);
}

void frmmain::Form_Load()
{
    Windows::unload<frmSplash>();
    centreOnScreen();
    m_banner->setMovie(App::ApplicationFolder() + QStringLiteral("/happy.swf"));
    App::AppDir() = App::withTrailingSeparator(App::ApplicationFolder());
    App::SelectedCategory().clear();
    // A missing or unreadable cate.mdb leaves the tree empty and the design
    // caption in place; nothing is said at start-up.
    RebuildCatalogue();
}

void frmmain::nodeClicked(const QModelIndex &index)
{
    if (m_model->kind(index) != CatalogueModel::Dish)
        return;
    ShowDish(m_model->dish(index)->id);
    m_Text1->setReadOnly(true);
    m_Boxx3->setReadOnly(true);
    m_Boxx4->setReadOnly(true);
}

void frmmain::showDishRecord(const DishRecord &dish)
{
    m_Text1->setText(trimBlanks(dish.name));
    m_Boxx3->setText(trimBlanks(dish.ingredients));
    m_Text3->setPlainText(toLf(trimBlanks(dish.ingredients)));
    m_Boxx4->setText(trimBlanks(dish.method));
    m_Text4->setPlainText(toLf(trimBlanks(dish.method)));
    if (trimBlanks(dish.picture).isEmpty()) {
        m_Image8->clearPicture();
    } else if (const auto picture = LoadPicture(dish.picture)) {
        m_Image8->setPicture(*picture);
    }
    // A picture that cannot be loaded leaves the preview as it was.
}

void frmmain::printClicked()
{
    if (m_Text1->text().isEmpty() || m_Boxx3->text().isEmpty() || m_Boxx4->text().isEmpty())
        return;
    PrintRecipe(trimBlanks(m_Text1->text()), trimBlanks(toCrLf(m_Text3->toPlainText())),
                trimBlanks(toCrLf(m_Text4->toPlainText())));
}

void frmmain::Exit()
{
    Windows::unload<about>();
    Windows::unload<Add>();
    Windows::unload<daycate>();
    Windows::unload<down>();
    Windows::unload<::find>();
    Windows::unload<newban>();
    Windows::unload<addmulu>();
    Windows::unload<FrmPrintIt>();
    Windows::unload<frmmain>();
    QCoreApplication::quit();
}

void frmmain::closeFromFrame() { Exit(); }
