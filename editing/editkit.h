#pragma once
// What the two editing windows share: the category list filled from table
// "02", and picking a category from it.
class Catalogue;
class QListWidget;
class QWidget;

namespace EditKit {

// Fills `list` with column 1 of every row of "02", untrimmed, in table
// order. When the store cannot be read the list stays empty and the cook is
// told why; returns false then.
bool fillCategoryList(QListWidget *list, const Catalogue &catalogue, QWidget *messageParent);

// A click on an entry, or the arrow keys moving the selection, picks that
// category for both editing windows.
void pickCategoriesFrom(QListWidget *list, Catalogue &catalogue);

} // namespace EditKit
