#pragma once
// What the two editing windows share: the category list, filled from table
// "02" and kept in step with it while the window is open; and the deleting
// of a category, which the catalogue tree's menu offers too.
class Catalogue;
class QLineEdit;
class QListWidget;
class QWidget;

#include <QStringList>
#include <optional>

namespace EditKit {

// Fills `list` with column 1 of every row of "02", untrimmed, in table
// order. When the store cannot be read the list stays empty and the cook is
// told why; returns false then.
bool fillCategoryList(QListWidget *list, const Catalogue &catalogue, QWidget *messageParent);

// Binds the list to the catalogue for as long as it lives:
// - a click on an entry, or the arrow keys moving the selection, picks that
//   category for both editing windows;
// - when categories are added or deleted (here, in the other window, or by
//   another program) the list is filled anew, the highlighted entry staying
//   highlighted while that category is still listed;
// - when the picked category is used up or deleted, nothing stays highlighted.
void bindCategoryList(QListWidget *list, Catalogue &catalogue, QWidget *messageParent);

// Asks whether `category` is to be deleted with all its dishes (a safety
// copy is written while the question is read), and on a yes deletes it:
// all or nothing. The cook is told of a failure. True when it was deleted.
bool deleteCategory(QWidget *parent, Catalogue &catalogue, const QString &category);

// The tags typed into a tags box (store/marks.h), or nothing when they are
// refused: the cook is told which tag is too long, or that there are too
// many.
std::optional<QStringList> typedTags(QWidget *parent, const QString &typed);

// The servings typed into a servings box: 0 for an empty box, or nothing
// when the text is no whole number from 1 to 99 (the cook is told).
std::optional<int> typedServings(QWidget *parent, const QString &typed);
// The servings as the box shows them: empty when unknown.
QString servingsText(int servings);
// A row "份量：[  ] 人份" at `left`, `top` (twips) of `window`: its box,
// accessible as "份量", taking up to two digits.
QLineEdit *addServingsRow(QWidget *window, double left, double top);

// A tags box ("标签：" beside it): its completer offers the tags in use,
// for the word being typed.
void offerTagsInUse(QLineEdit *box, const Catalogue &catalogue);

} // namespace EditKit
