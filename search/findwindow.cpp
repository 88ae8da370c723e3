#include "search/findwindow.h"

#include "editing/editkit.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/safetycopy.h"
#include "core/pictures.h"
#include "core/registry.h"
#include "core/textboxes.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"
#include "store/namepattern.h"

#include <QCheckBox>
#include <QHash>
#include <QKeyEvent>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

namespace {
// Each list entry carries the id of its row, so a click shows exactly that
// row and the edit rewrites exactly that row, whatever names the others have
// and whichever category it has been moved to meanwhile.
constexpr int DishIdRole = Qt::UserRole;

const char *const NothingWritten = "啥都没写怎么更新啊？";
const char *const ConfirmTitle = "：：修改菜谱：：";
const char *const NothingSelected = "请先在找到的食谱中选择要修改的菜谱。";
const char *const DishGone = "这道菜谱已不存在，可能已被删除。";
const char *const ChangedElsewhere = "这道菜谱已在别处被修改，请重新选择后再修改。";
const char *const NotAPicture = "这个文件不能作为图片打开。";
const char *const TreeNotRefreshed = "菜谱已经修改，但菜谱目录没能刷新：";
const char *const NothingFound = "没有找到符合条件的菜谱。";
} // namespace

namespace zx {

FindWindow::FindWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("find"), QStringLiteral("：：查询/修改食谱：："),
                   Skin::ThreeButton, 8820, 7170, 240),
      m_catalogue(catalogue)
{
    buildSearchPanel();
    buildDishPanel();
    buildButtons();

    // Tell the cook about a missing or unusable file before anything is typed.
    const StoreStatus probe = m_catalogue.probe();
    if (!probe)
        tell(this, probe.error().userText());

    centreOnScreen();
}

// The search row, the rule under it, and the list of found dishes.
void FindWindow::buildSearchPanel()
{
    const Form::Controls make(this);
    make.label(QStringLiteral("Label1_0"), QStringLiteral("菜肴名称："), {360, 840});
    make.label(QStringLiteral("Label1_2"), QStringLiteral("找到的食谱："), {360, 1320});
    m_name = make.lineBox(QStringLiteral("Text1"), QStringLiteral("菜肴名称"), {1440, 720, 3975, 390});
    connect(m_name, &QLineEdit::returnPressed, this, &FindWindow::search);   // Enter searches
    m_name->installEventFilter(this);   // Down goes on to the first result
    make.rule(QStringLiteral("Line1"), {240, 1170, 8340, 30});

    // Ticked, the search text is words, each looked for in name,
    // ingredients and method alike.
    m_searchTexts = new QCheckBox(QStringLiteral("查原料和做法"), this);
    m_searchTexts->setObjectName(QStringLiteral("Check1"));
    m_searchTexts->setAccessibleName(QStringLiteral("查原料和做法"));
    Form::place(m_searchTexts, {7020, 810, 1650, 300});   // after 开始查询 in the Tab order

    m_found = make.listBox(QStringLiteral("List1"), QStringLiteral("找到的食谱"), {240, 1560, 2295, 2550});
    m_found->setSortingEnabled(false);
    m_found->setSelectionMode(QAbstractItemView::SingleSelection);
    m_found->setCursor(Qt::PointingHandCursor);
    m_found->viewport()->setCursor(Qt::PointingHandCursor);
    // Only a selected entry shows its dish: focus alone (Tab, or a click on
    // the empty part) makes an entry current without selecting it and shows
    // nothing. A click on the entry already selected shows its row anew.
    connect(m_found, &QListWidget::itemSelectionChanged, this, &FindWindow::showSelectedDish);
    connect(m_found, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item == selectedEntry())
            showSelectedDish();
    });
}

// The found dish: ingredients, method and the picture preview.
void FindWindow::buildDishPanel()
{
    const Form::Controls make(this);
    make.label(QStringLiteral("Label1_1"), QStringLiteral("原   料："), {2640, 1320});
    make.label(QStringLiteral("Label1_3"), QStringLiteral("制作方法："), {2640, 2880});
    make.label(QStringLiteral("Label1_4"), QStringLiteral("菜谱图片预览："), {240, 5760});
    m_ingredients = make.textBox(QStringLiteral("Text3"), QStringLiteral("原料"), {2640, 1560, 5775, 1215});
    m_method = make.textBox(QStringLiteral("Text4"), QStringLiteral("制作方法"), {2640, 3120, 5775, 2415});
    for (QTextEdit *box : {m_ingredients, m_method})
        connect(box, &QTextEdit::textChanged, box, [box] { box->setExtraSelections({}); });

    // The picture path lies inside the ingredients box: shown, it would hide
    // two lines of the ingredients, so it stays hidden. The preview and the
    // picture chooser are how the cook sees and sets it; its content is what
    // an edit stores.
    m_picturePath = make.lineBox(QStringLiteral("Text2"), QString(), {4560, 1920, 3375, 270});
    m_picturePath->hide();

    // The preview: the picture fitted inside a single-line border, in its
    // own proportions.
    auto *border = new QFrame(this);
    border->setObjectName(QStringLiteral("Image8Border"));
    border->setFrameShape(QFrame::Box);
    border->setLineWidth(1);
    Form::place(border, {240, 4200, 2295, 1455});
    m_picture = new ImageControl(border, QStringLiteral("Image8"));
    m_picture->setFit(true);
    m_picture->setGeometry(border->contentsRect());

    // The cook's tags, on a row of their own below the buttons.
    make.label(QStringLiteral("LabelTags"), QStringLiteral("标签："), {2640, 6280, 720, 255});
    m_tags = make.lineBox(QStringLiteral("TextTags"), QStringLiteral("标签"), {3360, 6240, 3315, 330});
    EditKit::offerTagsInUse(m_tags, m_catalogue);
    m_servings = EditKit::addServingsRow(this, 6735, 6240);
}

void FindWindow::buildButtons()
{
    const Form::Controls make(this);
    const auto button = [&](const char *name, const char *caption, const char *picture, Form::Place at,
                            void (FindWindow::*handler)()) {
        ImageControl *b = make.pictureButton(QString::fromLatin1(name), QString::fromUtf8(caption),
                                             QString::fromLatin1(picture), at);
        connect(b, &ImageControl::clicked, this, handler);
    };
    button("Image1", "开始查询", ":/buttons/search.png", {5520, 720, 1410, 480}, &FindWindow::search);
    button("Image2", "插入图片", ":/buttons/insert_picture.png", {3240, 5640, 1410, 480},
           &FindWindow::choosePicture);
    button("Image3", "更 新", ":/buttons/update.png", {4800, 5640, 1410, 480}, &FindWindow::storeEdit);
    button("Image4", "重 写", ":/buttons/reset.png", {6240, 5640, 1410, 480}, &FindWindow::reset);
}

void FindWindow::search()
{
    // The name box is the search text too: only an edit of the other boxes
    // is typing a new search would throw away.
    if (dishBoxesChanged() && !mayDiscardTyping(this))
        return;
    m_found->clear();
    m_shown.reset();
    m_shownItem = nullptr;
    const QString text = trimTyped(m_name->text());
    if (text.isEmpty())
        return;

    // The text goes to the store as a pattern argument, never into SQL: its
    // pattern characters keep their meaning, a quote is just a quote.
    // Words that begin with '#' or "-#" find by tag; the rest as before.
    const TagQuery tags = TagQuery::parse(text);
    const QString rest = tags.hasTags() ? tags.rest : text;
    m_foundWords = m_searchTexts->isChecked() ? splitTyped(rest) : QStringList();
    auto found = rest.isEmpty()                ? StoreResult<QVector<DishRecord>>(m_catalogue.searchTagged(tags))
                 : m_searchTexts->isChecked() ? m_catalogue.searchWords(m_foundWords)
                                              : m_catalogue.searchNames(rest);
    if (found && !rest.isEmpty() && tags.hasTags())
        found.value().removeIf([&](const DishRecord &d) { return !tags.matches(m_catalogue.marks(), d.id); });
    // An invalid pattern (an unclosed '[') simply finds nothing.
    if (!found && found.error().kind != StoreError::BadPattern) {
        tell(this, found.error().userText());
        return;
    }
    if (!found || found->isEmpty()) {
        auto *none = new QListWidgetItem(QString::fromUtf8(NothingFound), m_found);
        none->setFlags(Qt::NoItemFlags);
        return;
    }
    listFound(found.value());
}

// One entry a dish; dishes of the same name say their category after it,
// and of the same category too the first line of their ingredients.
void FindWindow::listFound(const QVector<DishRecord> &found)
{
    QHash<QString, int> byName, byNameAndCategory;
    for (const DishRecord &dish : found) {
        ++byName[dish.name];
        ++byNameAndCategory[dish.name + QChar(0) + trimBlanks(dish.category)];
    }
    for (const DishRecord &dish : found) {
        QString label = dish.name;
        if (byName.value(dish.name) > 1)
            label += QStringLiteral(" — ") + trimBlanks(dish.category);
        if (byNameAndCategory.value(dish.name + QChar(0) + trimBlanks(dish.category)) > 1) {
            const auto whole = m_catalogue.dish(dish.id);
            if (whole && whole.value())
                label += QStringLiteral(" — ") + toLf(whole.value()->ingredients).section(QLatin1Char('\n'), 0, 0);
        }
        auto *item = new QListWidgetItem(label, m_found);
        item->setData(DishIdRole, dish.id);
        item->setToolTip(label);   // the whole entry, where the list cuts it short
    }
}

// The boxes are compared with what they held right after the dish was
// put in them, read back the same way: whatever a box makes of a text on
// the way in is no change of the cook's.
bool FindWindow::dishBoxesChanged() const
{
    return m_shown
           && (textOf(*m_ingredients->document()) != m_loaded.ingredients
               || textOf(*m_method->document()) != m_loaded.method || m_picturePath->text() != m_loaded.picture
               || m_tags->text() != m_loadedTags || m_servings->text() != m_loadedServings);
}

bool FindWindow::hasPendingInput() const
{
    return dishBoxesChanged() || (m_shown && m_name->text() != m_loaded.name);
}

bool FindWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_name && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down && m_found->count() > 0
        && (m_found->item(0)->flags() & Qt::ItemIsSelectable)) {
        m_found->setFocus();
        if (!selectedEntry())
            m_found->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        return true;
    }
    return FramedWindow::eventFilter(watched, event);
}

QListWidgetItem *FindWindow::selectedEntry() const
{
    const QList<QListWidgetItem *> selected = m_found->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void FindWindow::showSelectedDish()
{
    QListWidgetItem *item = selectedEntry();
    if (!item)
        return;
    // An edit in the boxes is replaced only when the cook says so; on a no
    // the entry it belongs to stays selected.
    if (hasPendingInput() && !mayDiscardTyping(this)) {
        const QSignalBlocker quiet(m_found);
        m_found->clearSelection();
        if (m_shownItem)
            m_found->setCurrentItem(m_shownItem, QItemSelectionModel::ClearAndSelect);
        m_found->viewport()->update();
        return;
    }
    const auto fetched = m_catalogue.dish(item->data(DishIdRole).toLongLong());
    if (!fetched || !fetched.value()) {
        // Nothing of this row is shown, so nothing of it may be rewritten.
        m_shown.reset();
        m_shownItem = nullptr;
        if (fetched) {
            // The listed dish is gone (deleted, or its file replaced).
            m_ingredients->clear();
            m_method->clear();
        }
        return;   // a store that failed leaves the boxes as they were
    }
    const DishRecord &dish = *fetched.value();
    m_shown = dish;
    m_shownItem = item;
    m_name->setText(dish.name);
    m_ingredients->setPlainText(toLf(dish.ingredients));
    m_method->setPlainText(toLf(dish.method));
    markFoundWords(m_ingredients);
    markFoundWords(m_method);
    m_picturePath->setText(dish.picture);
    m_tags->setText(Marks::joinTags(m_catalogue.marks().tagsOf(dish.id)));
    m_loadedTags = m_tags->text();
    m_servings->setText(EditKit::servingsText(m_catalogue.marks().servingsOf(dish.id)));
    m_loadedServings = m_servings->text();
    m_loaded = {0, {}, m_name->text(), textOf(*m_ingredients->document()), textOf(*m_method->document()), m_picturePath->text()};
    // A picture that cannot be loaded leaves the preview empty, never
    // showing the previous dish's picture.
    const auto picture = dish.picture.isEmpty()
                             ? std::nullopt
                             : loadPicture(resolvePicture(m_catalogue.dataFolder(), dish.picture),
                                           m_picture->size() * m_picture->devicePixelRatioF());
    if (picture)
        m_picture->setPicture(*picture);
    else
        m_picture->clearPicture();
}

// Marks what the words of a search by ingredients found in a box; the
// stored text is untouched, and the mark goes with the first edit.
void FindWindow::markFoundWords(QTextEdit *box)
{
    QList<QTextEdit::ExtraSelection> marks;
    for (const NamePattern::Span &span : NamePattern::matchedSpans(m_foundWords, textOf(*box->document()))) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(box->document());
        mark.cursor.setPosition(int(span.start));
        mark.cursor.setPosition(int(span.start + span.length), QTextCursor::KeepAnchor);
        mark.format.setBackground(QColor(0xff, 0xe0, 0x80));
        marks << mark;
    }
    box->setExtraSelections(marks);
}

void FindWindow::choosePicture()
{
    const QString path = DialogService::instance().openPicture(this);
    if (path.isEmpty())
        return;
    const auto picture = loadPicture(path, m_picture->size() * m_picture->devicePixelRatioF());
    if (!picture) {
        // Keep the preview and the stored path as they were.
        tell(this, QString::fromUtf8(NotAPicture));
        return;
    }
    m_picture->setPicture(*picture);
    m_picturePath->setText(path);
}

// Whether the boxes hold what was read from row `id` when it was picked;
// when not, the cook is told why and nothing is written.
bool FindWindow::boxesHoldRow(qint64 id)
{
    if (m_shown && m_shown->id == id)
        return true;
    const auto current = m_catalogue.dish(id);
    if (!current)
        tell(this, current.error().userText());
    else
        tell(this, QString::fromUtf8(current.value() ? ChangedElsewhere : DishGone));
    return false;
}

void FindWindow::storeEdit()
{
    const QListWidgetItem *item = selectedEntry();
    if (!item) {
        tell(this, QString::fromUtf8(NothingSelected));
        return;
    }
    const QString name = trimTyped(m_name->text());
    const QString ingredients = trimBlanks(textOf(*m_ingredients->document()));
    const QString method = trimBlanks(textOf(*m_method->document()));
    if (name.isEmpty() || ingredients.isEmpty() || method.isEmpty()) {
        tellPlainly(this, QString::fromUtf8(NothingWritten));
        return;
    }
    // Tags over the limits refuse the whole edit.
    const std::optional<QStringList> tags = EditKit::typedTags(this, m_tags->text());
    if (!tags)
        return;
    const std::optional<int> servings = EditKit::typedServings(this, m_servings->text());
    if (!servings || !boxesHoldRow(item->data(DishIdRole).toLongLong()))
        return;
    // A picture the cook chose is checked; the one stored is kept as it is.
    QString picture = m_picturePath->text();
    const bool newPicture = picture != m_shown->picture && !picture.isEmpty();
    if (newPicture && !isPictureFile(picture)) {
        tell(this, QStringLiteral("找不到图片文件：") + picture);
        return;
    }

    const DialogService::Answer answer = DialogService::instance().message(
        this, QStringLiteral("确认修改[") + shortenedForMessage(name) + QStringLiteral("]"),
        QString::fromUtf8(ConfirmTitle), DialogService::YesNo, DialogService::No, DialogService::Stop);
    if (answer != DialogService::Yes)
        return;
    if (newPicture) {
        // The dish names the copy kept beside cate.mdb, not the chosen file.
        const std::optional<QString> kept = keepChosenPicture(this, m_catalogue.dataFolder(), picture);
        if (!kept)
            return;
        picture = *kept;
    }

    if (!safetyCopyFirst(this, m_catalogue, Backup::Reason::Edit))
        return;
    // Written only while the row still holds what was shown: another copy
    // of the program, or another tool, may have changed it since.
    const EditedMarks marks{*tags, *servings};
    const bool marksEdited = m_tags->text() != m_loadedTags || m_servings->text() != m_loadedServings;
    const auto outcome = m_catalogue.updateDishIfUnchanged(*m_shown, name, toCrLf(ingredients), toCrLf(method),
                                                           picture, marksEdited ? &marks : nullptr);
    if (!outcome) {
        tell(this, outcome.error().userText());
        return;
    }
    if (*outcome != Catalogue::EditOutcome::Stored) {
        const bool gone = *outcome == Catalogue::EditOutcome::Gone;
        tell(this, QString::fromUtf8(gone ? DishGone : ChangedElsewhere));
        return;   // the edit stays in the boxes
    }

    if (!m_catalogue.lastRefresh())
        tell(this, QString::fromUtf8(TreeNotRefreshed) + m_catalogue.lastRefresh().error().userText());
    Windows::unloadWindow(this);
}

void FindWindow::reset()
{
    if (hasPendingInput() && !mayDiscardTyping(this))
        return;
    m_shownItem = nullptr;
    m_name->clear();
    m_picturePath->clear();
    m_tags->clear();
    m_loadedTags.clear();
    m_servings->clear();
    m_loadedServings.clear();
    m_found->clear();
    m_shown.reset();
    m_picture->clearPicture();
}

} // namespace zx
