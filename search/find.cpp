#include "search/find.h"

#include "app/catalogue.h"
#include "app/dialogs.h"
#include "app/globals.h"
#include "app/pictures.h"
#include "app/registry.h"
#include "app/textboxes.h"
#include "skin/imagecontrol.h"
#include "skin/twips.h"
#include "store/recipestore.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace {
// Each list entry carries the id of its row, so a click shows exactly that
// row and the edit rewrites exactly that row, whatever names the others have.
constexpr int DishIdRole = Qt::UserRole;

const char *const NothingWritten = "啥都没写怎么更新啊？";
const char *const ConfirmTitle = "：：修改菜谱：：";
const char *const NothingSelected = "请先在找到的食谱中选择要修改的菜谱。";
const char *const DishGone = "这道菜谱已不存在，可能已被删除。";
const char *const NotAPicture = "这个文件不能作为图片打开。";
const char *const TreeNotRefreshed = "菜谱已经修改，但菜谱目录没能刷新：";
} // namespace

find::find()
    : FramedWindow(QStringLiteral("find"), QStringLiteral("：：查询/修改食谱：："),
                   Skin::ThreeButton, 8820, 6630, 240)
{
    buildControls();

    // The store is opened for every operation; here we only make sure it is
    // there, so the cook hears about a missing file before typing anything.
    const StoreStatus probe = RecipeStore::Probe(App::storePath());
    if (!probe)
        tell(this, probe.error().userText());

    centreOnScreen();
}

void find::buildControls()
{
    static const char *const captions[5] = {"菜肴名称：", "原   料：", "找到的食谱：", "制作方法：",
                                            "菜谱图片预览："};
    static const int labelPlaces[5][2] = {{360, 840}, {2640, 1320}, {360, 1320}, {2640, 2880}, {240, 5760}};
    for (int i = 0; i < 5; ++i) {
        auto *label = new QLabel(QString::fromUtf8(captions[i]), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->adjustSize();
        label->move(Twips::point(labelPlaces[i][0], labelPlaces[i][1]));
        m_labels[i] = label;
    }

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("菜肴名称"));
    place(Text1, 1440, 720, 3975, 390);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("找到的食谱"));
    List1->setSortingEnabled(false);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setCursor(Qt::PointingHandCursor);
    List1->viewport()->setCursor(Qt::PointingHandCursor);
    place(List1, 240, 1560, 2295, 2550);

    Text3 = new QPlainTextEdit(this);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setAccessibleName(QStringLiteral("原料"));
    place(Text3, 2640, 1560, 5775, 1215);

    Text4 = new QPlainTextEdit(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setAccessibleName(QStringLiteral("制作方法"));
    place(Text4, 2640, 3120, 5775, 2415);

    // The picture path lies inside the ingredients box: shown, it would hide
    // two lines of the ingredients, so it stays hidden. The preview and the
    // picture chooser are how the cook sees and sets it; its content is what
    // an edit stores.
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    place(Text2, 4560, 1920, 3375, 270);
    Text2->hide();

    // The preview: stretched picture inside a single-line border.
    m_previewFrame = new QFrame(this);
    m_previewFrame->setObjectName(QStringLiteral("Image8Border"));
    m_previewFrame->setFrameShape(QFrame::Box);
    m_previewFrame->setLineWidth(1);
    place(m_previewFrame, 240, 4200, 2295, 1455);
    Image8 = new ImageControl(m_previewFrame, QStringLiteral("Image8"));
    Image8->setStretch(true);
    Image8->setGeometry(m_previewFrame->contentsRect());

    Image1 = makePictureButton(this, QStringLiteral("Image1"), QStringLiteral("开始查询"),
                               QStringLiteral(":/buttons/search.png"), 5520, 720, 1410, 480);
    Image2 = makePictureButton(this, QStringLiteral("Image2"), QStringLiteral("插入图片"),
                               QStringLiteral(":/buttons/insert_picture.png"), 3240, 5640, 1410, 480);
    Image3 = makePictureButton(this, QStringLiteral("Image3"), QStringLiteral("更 新"),
                               QStringLiteral(":/buttons/update.png"), 4800, 5640, 1410, 480);
    Image4 = makePictureButton(this, QStringLiteral("Image4"), QStringLiteral("重 写"),
                               QStringLiteral(":/buttons/reset.png"), 6240, 5640, 1410, 480);

    // A rule between the search row and the boxes below it.
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    place(Line1, 240, 1170, 8340, 30);

    connect(Image1, &ImageControl::clicked, this, &find::search);
    connect(Image2, &ImageControl::clicked, this, &find::choosePicture);
    connect(Image3, &ImageControl::clicked, this, &find::storeEdit);
    connect(Image4, &ImageControl::clicked, this, &find::reset);
    // A mouse click and the arrow keys both change the current entry.
    connect(List1, &QListWidget::currentRowChanged, this, &find::showListedDish);
}

void find::search()
{
    List1->clear();
    const QString text = Text1->text();
    if (text.isEmpty())
        return;

    // The text goes to the store as a pattern argument, never into SQL: its
    // pattern characters keep their meaning, a quote is just a quote.
    const auto found = RecipeStore::SearchDishesByName(App::storePath(), text, RecipeStore::SearchFields::NamesOnly);
    if (!found) {
        // An invalid pattern (an unclosed '[') simply finds nothing.
        if (found.error().kind != StoreError::BadPattern)
            tell(this, found.error().userText());
        return;
    }
    for (const DishRecord &dish : found.value()) {
        auto *item = new QListWidgetItem(dish.name, List1);
        item->setData(DishIdRole, dish.id);
    }
}

void find::showListedDish(int row)
{
    QListWidgetItem *item = row >= 0 ? List1->item(row) : nullptr;
    if (!item)
        return;
    const auto fetched = RecipeStore::FindDishById(App::storePath(), item->data(DishIdRole).toLongLong());
    if (!fetched)
        return;   // the store failed: the boxes keep what they show
    if (!fetched.value()) {
        // The row was deleted meanwhile: nothing of it to show.
        Text3->clear();
        Text4->clear();
        return;
    }
    const DishRecord &dish = *fetched.value();
    Text1->setText(dish.name);
    Text3->setPlainText(toLf(dish.ingredients));
    Text4->setPlainText(toLf(dish.method));
    Text2->setText(dish.picture);
    if (dish.picture.isEmpty()) {
        Image8->clearPicture();
    } else if (const auto picture = LoadPicture(dish.picture)) {
        Image8->setPicture(*picture);
    }
    // A picture that cannot be loaded leaves the previous one in the preview.
}

void find::choosePicture()
{
    const QString path = DialogService::instance().openPicture(this);
    if (path.isEmpty())
        return;
    const auto picture = LoadPicture(path);
    if (!picture) {
        // Keep the preview and the stored path as they were.
        tell(this, QString::fromUtf8(NotAPicture));
        return;
    }
    Image8->setPicture(*picture);
    Text2->setText(path);
}

void find::storeEdit()
{
    const QString name = trimBlanks(Text1->text());
    const QString ingredients = trimBlanks(Text3->toPlainText());
    const QString method = trimBlanks(Text4->toPlainText());
    if (name.isEmpty() || ingredients.isEmpty() || method.isEmpty()) {
        tell(this, QString::fromUtf8(NothingWritten));
        return;
    }

    const DialogService::Answer answer = DialogService::instance().message(
        this, QStringLiteral("确认修改[") + name + QStringLiteral("]"), QString::fromUtf8(ConfirmTitle),
        DialogService::YesNo, DialogService::No, DialogService::Stop);
    if (answer != DialogService::Yes)
        return;

    QListWidgetItem *item = List1->currentItem();
    if (!item) {
        tell(this, QString::fromUtf8(NothingSelected));
        return;
    }

    const qint64 id = item->data(DishIdRole).toLongLong();
    // The row must still be the dish that was listed: a cate.mdb put in
    // place meanwhile may give the same id to another dish.
    const auto current = RecipeStore::FindDishById(App::storePath(), id);
    if (!current) {
        tell(this, current.error().userText());
        return;
    }
    if (!current.value() || current.value()->name != item->text()) {
        tell(this, QString::fromUtf8(DishGone));
        return;
    }
    const auto updated = RecipeStore::UpdateDish(App::storePath(), id, Text1->text(),
                                                 toCrLf(Text3->toPlainText()), toCrLf(Text4->toPlainText()),
                                                 Text2->text());
    if (!updated) {
        tell(this, updated.error().userText());
        return;
    }
    if (!updated.value()) {
        tell(this, QString::fromUtf8(DishGone));
        return;
    }

    const StoreStatus rebuilt = RebuildCatalogue();
    if (!rebuilt)
        tell(this, QString::fromUtf8(TreeNotRefreshed) + rebuilt.error().userText());
    Windows::unloadWindow(this);
}

void find::reset()
{
    Text1->clear();
    Text2->clear();
    List1->clear();
    Image8->clearPicture();
}
