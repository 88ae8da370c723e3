#include "editing/adddishwindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/pictures.h"
#include "core/textboxes.h"
#include "editing/editkit.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

namespace zx {

AddDishWindow::AddDishWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("Add"), QStringLiteral("：：添加美食：："), Skin::ThreeButton, 8610,
                   6660, 600),
      m_catalogue(catalogue)
{
    buildCategoryPanel();
    buildRecipePanel();
    setTabOrder(m_categories, m_name);
    setTabOrder(m_name, m_ingredients);
    setTabOrder(m_ingredients, m_method);
    setTabOrder(m_method, m_picturePath);
    setTabOrder(m_tags, m_servings);
    loadContents();
}

// Left column: the category list over the picture preview.
void AddDishWindow::buildCategoryPanel()
{
    const Form::Controls make(this);
    make.label(QStringLiteral("Label1_2"), QStringLiteral("选择所属分类："), {360, 720, 2400, 255});
    m_categories = make.listBox(QStringLiteral("List1"), QStringLiteral("选择所属分类"), {360, 1000, 2400, 2160});

    m_picture = make.label(QStringLiteral("Image8"), QString(), {360, 3270, 2400, 1815});
    m_picture->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_picture->setLineWidth(1);
    // The picture fitted inside the box in its own proportions, centred.
    m_picture->setAlignment(Qt::AlignCenter);
    make.label(QStringLiteral("Label2"), QStringLiteral("菜谱图片预览"), {360, 5160, 2400, 255})
        ->setAlignment(Qt::AlignCenter);
}

// Right column: the name row, a rule, ingredients, method, buttons.
void AddDishWindow::buildRecipePanel()
{
    const Form::Controls make(this);
    make.label(QStringLiteral("Label1_0"), QStringLiteral("菜肴名称："), {2940, 757, 1020, 255});
    m_name = make.lineBox(QStringLiteral("Text1"), QStringLiteral("菜肴名称"), {3960, 720, 4290, 330});
    make.rule(QStringLiteral("Line1"), {2940, 1155, 5310, 30});
    make.label(QStringLiteral("Label1_3"), QStringLiteral("原    料："), {2940, 1260, 1500, 255});
    m_ingredients = make.textBox(QStringLiteral("Text3"), QStringLiteral("原料"), {2940, 1530, 5310, 1290});
    make.label(QStringLiteral("Label1_1"), QStringLiteral("制作方法："), {2940, 2940, 1500, 255});
    m_method = make.textBox(QStringLiteral("Text4"), QStringLiteral("制作方法"), {2940, 3210, 5310, 1650});
    for (QTextEdit *box : {m_ingredients, m_method}) {
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    // The picture path, shown beside the buttons so the cook sees which
    // picture the next dish gets. Starts empty: a dish saved without a
    // picture stores no path.
    m_picturePath = make.lineBox(QStringLiteral("Text2"), QStringLiteral("菜谱图片的路径"), {2940, 5055, 2190, 330});
    m_picturePath->setToolTip(QStringLiteral("菜谱图片的路径"));

    m_addimage = make.pictureButton(QStringLiteral("addimage"), QStringLiteral("插入图片"),
                                    QStringLiteral(":/buttons/insert_picture.png"), {5250, 4980, 1410, 480});
    m_addcp = make.pictureButton(QStringLiteral("addcp"), QStringLiteral("添加"),
                                 QStringLiteral(":/buttons/add.png"), {6840, 4980, 1410, 480});
    connect(m_addimage, &ImageControl::clicked, this, &AddDishWindow::choosePicture);
    connect(m_addcp, &ImageControl::clicked, this, &AddDishWindow::saveDish);
    // The cook's tags, on a row of their own below the buttons.
    make.label(QStringLiteral("LabelTags"), QStringLiteral("标签："), {2940, 5640, 1020, 255});
    m_tags = make.lineBox(QStringLiteral("TextTags"), QStringLiteral("标签"), {3960, 5600, 2550, 330});
    EditKit::offerTagsInUse(m_tags, m_catalogue);
    m_servings = EditKit::addServingsRow(this, 6570, 5600);
}

bool AddDishWindow::hasPendingInput() const
{
    return !m_name->text().isEmpty() || !m_picturePath->text().isEmpty() || !m_ingredients->toPlainText().isEmpty()
           || !m_method->toPlainText().isEmpty() || !m_tags->text().isEmpty() || !m_servings->text().isEmpty();
}

void AddDishWindow::loadContents()
{
    centreOnScreen();
    // A category picked earlier in the category manager stays selected,
    // although no entry is highlighted here.
    EditKit::bindCategoryList(m_categories, m_catalogue, this);
}

void AddDishWindow::choosePicture()
{
    const QString file = DialogService::instance().openPicture(this);
    if (file.isEmpty())
        return;
    // A file that is not a picture keeps the previous preview; the path is
    // still taken.
    const QSize frame = m_picture->size() * m_picture->devicePixelRatioF();
    if (const std::optional<QPixmap> picture = loadPicture(file, frame))
        m_picture->setPixmap(fittedPicture(*picture, m_picture->contentsRect().size(), m_picture->devicePixelRatioF()));
    m_picturePath->setText(file);
}

// A category deleted meanwhile (here, in another copy of the program or by
// another program) takes no dish; the cook is told and keeps every text.
bool AddDishWindow::stillListed(const QString &category)
{
    const StoreResult<QVector<CategoryRecord>> rows = m_catalogue.categoryRows();
    if (!rows)
        return true;   // the save itself says what is wrong with the file
    for (const CategoryRecord &row : rows.value()) {
        if (row.category == category)
            return true;
    }
    tell(this, QStringLiteral("分类“") + category + QStringLiteral("”已不存在，请重新选择菜谱分类。"));
    return false;
}

void AddDishWindow::saveDish()
{
    const QString category = m_catalogue.selectedCategory();
    if (category.isEmpty()) {
        tellPlainly(this, QStringLiteral("请先选择菜谱分类！"));
        return;
    }
    const QString name = trimTyped(m_name->text());
    // As the cook left them: a no-break space pasted from a page stays one.
    const QString ingredients = trimBlanks(toCrLf(textOf(*m_ingredients->document())));
    const QString method = trimBlanks(toCrLf(textOf(*m_method->document())));
    if (name.isEmpty() || ingredients.isEmpty() || method.isEmpty()) {
        tellPlainly(this, QStringLiteral("资料都没有怎么保存啊？"));
        return;
    }
    const std::optional<QStringList> tags = EditKit::typedTags(this, m_tags->text());
    if (!tags)
        return;
    const std::optional<int> servings = EditKit::typedServings(this, m_servings->text());
    if (!servings)
        return;
    // An empty path is no picture; one typed or chosen must be a picture.
    const QString picture = trimTyped(m_picturePath->text());
    if (!picture.isEmpty() && !isPictureFile(picture)) {
        tell(this, QStringLiteral("找不到图片文件：") + picture);
        return;
    }
    const QString question = QStringLiteral("[") + shortenedForMessage(name) + QStringLiteral("]位于")
                             + shortenedForMessage(category)
                             + QStringLiteral("目录下\r\n\r\n是否保存？");
    if (DialogService::instance().message(this, question, QStringLiteral("保存菜谱"), DialogService::YesNo,
                                          DialogService::No, DialogService::Stop)
        != DialogService::Yes)
        return;
    if (!stillListed(category))
        return;
    // The dish names the copy kept beside cate.mdb, not the chosen file.
    const std::optional<QString> kept = keepChosenPicture(this, m_catalogue.dataFolder(), picture);
    if (!kept)
        return;

    const StoreResult<qint64> added = m_catalogue.addDish(category, name, ingredients, method, *kept, {*tags, *servings});
    if (!added) {
        // Nothing was written: every typed text and the category stay.
        tell(this, QStringLiteral("保存失败：") + added.error().userText());
        return;
    }
    // The next dish starts afresh, picture included.
    m_name->clear();
    m_ingredients->clear();
    m_method->clear();
    m_picturePath->clear();
    m_tags->clear();
    m_servings->clear();
    m_picture->clear();
    QString done = category + QStringLiteral("保存完毕！");
    if (!m_catalogue.lastRefresh())
        done += QStringLiteral("\r\n\r\n但目录树未能刷新：") + m_catalogue.lastRefresh().error().userText();
    tellPlainly(this, done, QStringLiteral("保存完毕"));
    m_catalogue.setSelectedCategory(QString());
}

} // namespace zx
