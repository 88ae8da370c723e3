#include "editing/add.h"
#include "editing/editkit.h"
#include "app/catalogue.h"
#include "app/dialogs.h"
#include "app/globals.h"
#include "app/pictures.h"
#include "app/textboxes.h"
#include "skin/imagecontrol.h"
#include "store/recipestore.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

Add::Add()
    : FramedWindow(QStringLiteral("Add"), QStringLiteral("：：添加美食：："), Skin::ThreeButton, 8610,
                   6120, 600)
{
    buildControls();
    Form_Load();
}

void Add::buildControls()
{
    // Left column: the category list over the picture preview.
    m_Label1[2] = EditKit::label(this, QStringLiteral("Label1_2"), QStringLiteral("选择所属分类："), 360,
                                 720, 2400, 255);
    m_List1 = new QListWidget(this);
    m_List1->setObjectName(QStringLiteral("List1"));
    m_List1->setAccessibleName(QStringLiteral("选择所属分类"));
    place(m_List1, 360, 1000, 2400, 2160);

    m_Image8 = new QLabel(this);
    m_Image8->setObjectName(QStringLiteral("Image8"));
    m_Image8->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_Image8->setLineWidth(1);
    m_Image8->setScaledContents(true);   // the picture is stretched to the box
    place(m_Image8, 360, 3270, 2400, 1815);

    m_Label2 = EditKit::label(this, QStringLiteral("Label2"), QStringLiteral("菜谱图片预览"), 360, 5160,
                              2400, 255);
    m_Label2->setAlignment(Qt::AlignCenter);

    // Right column: the name row, a rule, ingredients, method, buttons.
    m_Label1[0] = EditKit::label(this, QStringLiteral("Label1_0"), QStringLiteral("菜肴名称："), 2940,
                                 757, 1020, 255);
    m_Text1 = new QLineEdit(this);
    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->setAccessibleName(QStringLiteral("菜肴名称"));
    place(m_Text1, 3960, 720, 4290, 330);

    m_Line1 = EditKit::rule(this, QStringLiteral("Line1"), 2940, 1155, 5310);

    m_Label1[3] = EditKit::label(this, QStringLiteral("Label1_3"), QStringLiteral("原    料："), 2940,
                                 1260, 1500, 255);
    m_Text3 = new QPlainTextEdit(this);
    m_Text3->setObjectName(QStringLiteral("Text3"));
    m_Text3->setAccessibleName(QStringLiteral("原料"));
    place(m_Text3, 2940, 1530, 5310, 1290);

    m_Label1[1] = EditKit::label(this, QStringLiteral("Label1_1"), QStringLiteral("制作方法："), 2940,
                                 2940, 1500, 255);
    m_Text4 = new QPlainTextEdit(this);
    m_Text4->setObjectName(QStringLiteral("Text4"));
    m_Text4->setAccessibleName(QStringLiteral("制作方法"));
    place(m_Text4, 2940, 3210, 5310, 1650);

    for (QPlainTextEdit *box : {m_Text3, m_Text4}) {
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setTabChangesFocus(true);
    }

    // The picture path, shown beside the buttons so the cook sees which
    // picture the next dish gets (it stays after a save). Starts empty: a
    // dish saved without a picture stores no path.
    m_Text2 = new QLineEdit(this);
    m_Text2->setObjectName(QStringLiteral("Text2"));
    m_Text2->setAccessibleName(QStringLiteral("菜谱图片的路径"));
    m_Text2->setToolTip(QStringLiteral("菜谱图片的路径"));
    place(m_Text2, 2940, 5055, 2190, 330);

    m_addimage = makePictureButton(this, QStringLiteral("addimage"), QStringLiteral("插入图片"),
                                   QStringLiteral(":/buttons/insert_picture.png"), 5250, 4980, 1410, 480);
    m_addcp = makePictureButton(this, QStringLiteral("addcp"), QStringLiteral("添加"),
                                QStringLiteral(":/buttons/add.png"), 6840, 4980, 1410, 480);

    setTabOrder(m_List1, m_Text1);
    setTabOrder(m_Text1, m_Text3);
    setTabOrder(m_Text3, m_Text4);
    setTabOrder(m_Text4, m_Text2);

    connect(m_List1, &QListWidget::itemClicked, this, &Add::List1_Click);
    // Choosing an entry with the keyboard picks it too.
    connect(m_List1, &QListWidget::itemSelectionChanged, this, [this] {
        if (QListWidgetItem *item = m_List1->currentItem(); item && item->isSelected())
            List1_Click(item);
    });
    connect(m_addimage, &ImageControl::clicked, this, &Add::addimage_Click);
    connect(m_addcp, &ImageControl::clicked, this, &Add::addcp_Click);
}

void Add::Form_Load()
{
    centreOnScreen();
    // A category picked earlier in the category manager stays selected,
    // although no entry is highlighted here.
    EditKit::fillCategoryList(m_List1, this);
}

void Add::List1_Click(QListWidgetItem *item)
{
    if (item)
        App::SelectedCategory() = item->text();
}

void Add::addimage_Click()
{
    const QString file = DialogService::instance().openPicture(this);
    if (file.isEmpty())
        return;
    // A file that is not a picture keeps the previous preview; the path is
    // still taken.
    if (const std::optional<QPixmap> picture = LoadPicture(file))
        m_Image8->setPixmap(*picture);
    m_Text2->setText(file);
}

void Add::addcp_Click()
{
    const QString category = App::SelectedCategory();
    if (category.isEmpty()) {
        tell(this, QStringLiteral("请先选择菜谱分类！"));
        return;
    }
    const QString name = trimBlanks(m_Text1->text());
    const QString ingredients = trimBlanks(toCrLf(m_Text3->toPlainText()));
    const QString method = trimBlanks(toCrLf(m_Text4->toPlainText()));
    if (name.isEmpty() || ingredients.isEmpty() || method.isEmpty()) {
        tell(this, QStringLiteral("资料都没有怎么保存啊？"));
        return;
    }
    const QString question = QStringLiteral("[") + name + QStringLiteral("]位于") + category
                             + QStringLiteral("目录下\r\n\r\n是否保存？");
    if (DialogService::instance().message(this, question, QStringLiteral("保存菜谱"), DialogService::YesNo,
                                          DialogService::No, DialogService::Stop)
        != DialogService::Yes)
        return;

    const StoreResult<qint64> added = RecipeStore::AddDish(App::storePath(), category, name, ingredients,
                                                           method, m_Text2->text());
    if (!added) {
        // Nothing was written: every typed text and the category stay.
        tell(this, QStringLiteral("保存失败：") + added.error().userText());
        return;
    }

    m_Text1->clear();
    m_Text3->clear();
    m_Text4->clear();
    const StoreStatus rebuilt = RebuildCatalogue();
    QString done = category + QStringLiteral("保存完毕！");
    if (!rebuilt)
        done += QStringLiteral("\r\n\r\n但目录树未能刷新：") + rebuilt.error().userText();
    tell(this, done, QStringLiteral("保存完毕"));
    App::SelectedCategory().clear();
}
