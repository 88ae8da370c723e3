#include "editing/editkit.h"
#include "app/dialogs.h"
#include "app/globals.h"
#include "skin/framedwindow.h"
#include "store/recipestore.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>

namespace EditKit {

QLabel *label(QWidget *parent, const QString &objectName, const QString &text, double left,
              double top, double width, double height)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(objectName);
    FramedWindow::place(l, left, top, width, height);
    return l;
}

QFrame *rule(QWidget *parent, const QString &objectName, double left, double top, double width)
{
    auto *line = new QFrame(parent);
    line->setObjectName(objectName);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    // Two pixels high: the sunken rule draws a dark and a light line.
    FramedWindow::place(line, left, top, width, 30);
    return line;
}

bool fillCategoryList(QListWidget *list, QWidget *messageParent)
{
    list->clear();
    const StoreResult<QVector<CategoryRecord>> rows = RecipeStore::ListCategoryRows(App::storePath());
    if (!rows) {
        tell(messageParent, QStringLiteral("读取菜谱分类失败：") + rows.error().userText());
        return false;
    }
    for (const CategoryRecord &row : rows.value())
        list->addItem(row.category);
    return true;
}

} // namespace EditKit
