#pragma once
// Small pieces the two editing windows share: captions, rules and the
// category list filled from table "02".
#include <QString>

class QFrame;
class QLabel;
class QListWidget;
class QWidget;

namespace EditKit {

// A caption label at its design place (twips).
QLabel *label(QWidget *parent, const QString &objectName, const QString &text, double left,
              double top, double width, double height);
// A thin horizontal rule at its design place (twips).
QFrame *rule(QWidget *parent, const QString &objectName, double left, double top, double width);

// Fills `list` with column 1 of every row of "02", untrimmed, in table
// order. When the store cannot be read the list stays empty and the cook is
// told why; returns false then.
bool fillCategoryList(QListWidget *list, QWidget *messageParent);

} // namespace EditKit
