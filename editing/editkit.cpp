#include "editing/editkit.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/safetycopy.h"
#include "core/textboxes.h"
#include "skin/controls.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QListWidget>
#include <QStringListModel>

namespace EditKit {

bool fillCategoryList(QListWidget *list, const Catalogue &catalogue, QWidget *messageParent)
{
    list->clear();
    const StoreResult<QVector<CategoryRecord>> rows = catalogue.categoryRows();
    if (!rows) {
        tell(messageParent, QStringLiteral("读取菜谱分类失败：") + rows.error().userText());
        return false;
    }
    for (const CategoryRecord &row : rows.value())
        list->addItem(row.category);
    return true;
}

namespace {
bool changesCategories(const CatalogueChange &change)
{
    switch (change.kind) {
    case CatalogueChange::DishAdded:
    case CatalogueChange::DishUpdated:
    case CatalogueChange::DishDeleted:
    case CatalogueChange::DishMoved:
        return false;
    default:
        return true;
    }
}

// Fills the list anew, highlighting again the entry that was highlighted.
void refill(QListWidget *list, const Catalogue &catalogue, QWidget *messageParent)
{
    const QListWidgetItem *current = list->currentItem();
    const QString kept = current && current->isSelected() ? current->text() : QString();
    const QSignalBlocker quiet(list);
    fillCategoryList(list, catalogue, messageParent);
    const QList<QListWidgetItem *> same = list->findItems(kept, Qt::MatchExactly);
    if (!kept.isNull() && !same.isEmpty())
        list->setCurrentItem(same.first());
}
} // namespace

void bindCategoryList(QListWidget *list, Catalogue &catalogue, QWidget *messageParent)
{
    fillCategoryList(list, catalogue, messageParent);
    QObject::connect(list, &QListWidget::itemClicked, list, [&catalogue](QListWidgetItem *item) {
        if (item)
            catalogue.setSelectedCategory(item->text());
    });
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list, &catalogue] {
        if (QListWidgetItem *item = list->currentItem(); item && item->isSelected())
            catalogue.setSelectedCategory(item->text());
    });
    QObject::connect(&catalogue, &Catalogue::refreshed, list,
                     [list, &catalogue, messageParent](const CatalogueChange &change) {
                         if (changesCategories(change))
                             refill(list, catalogue, messageParent);
                     });
    QObject::connect(&catalogue, &Catalogue::selectedCategoryChanged, list, [list](const QString &category) {
        if (!category.isEmpty())
            return;
        const QSignalBlocker quiet(list);
        list->clearSelection();
        list->setCurrentRow(-1);
    });
}

bool deleteCategory(QWidget *parent, Catalogue &catalogue, const QString &category)
{
    // The safety copy is written while the question is read.
    SafetyCopyAhead safetyCopy(catalogue, Backup::Reason::CategoryDeletion);
    const QString question = QStringLiteral("真的要删除 ") + shortenedForMessage(category)
                             + QStringLiteral("吗？\r\n此分类下所有菜谱将一起被删除！");
    if (DialogService::instance().message(parent, question, QStringLiteral("：：删除分类：："),
                                          DialogService::YesNo, DialogService::No, DialogService::Stop)
        != DialogService::Yes)
        return false;
    if (!safetyCopy.take(parent))
        return false;
    const StoreResult<DeleteOutcome> deleted = catalogue.deleteCategory(category);
    if (!deleted) {
        tell(parent, QStringLiteral("删除分类失败：") + deleted.error().userText());
        return false;
    }
    if (deleted->categoryRowDeleted)
        tellPlainly(parent, QStringLiteral("整个世界都清静了！"));
    if (!catalogue.lastRefresh())
        tell(parent, QStringLiteral("目录树未能刷新：") + catalogue.lastRefresh().error().userText());
    return true;
}

std::optional<QStringList> typedTags(QWidget *parent, const QString &typed)
{
    const Marks::Parsed parsed = Marks::parseTags(typed);
    if (!parsed.tooLong.isNull()) {
        tell(parent, QStringLiteral("标签太长（最多 20 个字）：") + parsed.tooLong);
        return std::nullopt;
    }
    if (parsed.tooMany) {
        tell(parent, QStringLiteral("标签太多（一道菜最多 20 个）。"));
        return std::nullopt;
    }
    return parsed.tags;
}

std::optional<int> typedServings(QWidget *parent, const QString &typed)
{
    // Digits typed full width are digits too.
    QString digits;
    for (const QChar c : trimBlanks(typed))
        digits += c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19 ? QChar(u'0' + (c.unicode() - 0xFF10)) : c;
    if (digits.isEmpty())
        return 0;
    bool number = false;
    const int servings = digits.toInt(&number);
    if (!number || servings < 1 || servings > Marks::MaxServings) {
        tell(parent, QStringLiteral("份量请填 1 到 99 之间的整数。"));
        return std::nullopt;
    }
    return servings;
}

QString servingsText(int servings)
{
    return servings > 0 ? QString::number(servings) : QString();
}

QLineEdit *addServingsRow(QWidget *window, double left, double top)
{
    const Form::Controls make(window);
    make.label(QStringLiteral("LabelServings"), QStringLiteral("份量："), {left, top + 40, 660, 255});
    QLineEdit *box = make.lineBox(QStringLiteral("TextServings"), QStringLiteral("份量"), {left + 660, top, 480, 330});
    box->setMaxLength(3);
    box->setAlignment(Qt::AlignRight);
    make.label(QStringLiteral("LabelServingsUnit"), QStringLiteral("人份"), {left + 1200, top + 40, 480, 255});
    return box;
}

namespace {
// Where the word before the cursor begins.
int wordStart(const QLineEdit *box)
{
    const QString text = box->text();
    int from = box->cursorPosition();
    while (from > 0 && Marks::parseTags(text.at(from - 1)).tags.size() == 1)
        --from;
    return from;
}
} // namespace

void offerTagsInUse(QLineEdit *box, const Catalogue &catalogue)
{
    auto *completer = new QCompleter(box);
    auto *model = new QStringListModel(completer);
    completer->setModel(model);
    completer->setWidget(box);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    QObject::connect(box, &QLineEdit::textEdited, completer, [box, completer, model, &catalogue] {
        const int from = wordStart(box);
        const QString word = box->text().mid(from, box->cursorPosition() - from);
        if (!word.isEmpty()) {
            model->setStringList(catalogue.marks().tagsInUse());
            completer->setCompletionPrefix(word);
        }
        if (!word.isEmpty() && completer->completionCount() > 0)
            completer->complete();
        else
            completer->popup()->hide();
    });
    QObject::connect(completer, qOverload<const QString &>(&QCompleter::activated), box, [box](const QString &tag) {
        const int from = wordStart(box);
        QString text = box->text();
        text.replace(from, box->cursorPosition() - from, tag + QLatin1Char(' '));
        box->setText(text);
        box->setCursorPosition(from + int(tag.size()) + 1);
    });
}

} // namespace EditKit
