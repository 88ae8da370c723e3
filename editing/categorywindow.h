#pragma once
// The category manager: adds a category to table "02", and deletes a
// category together with every dish filed under it. Clicking a category
// here also picks it for the add-recipe window.
#include "skin/framedwindow.h"

class Catalogue;
class ImageControl;
class QLineEdit;
class QListWidget;

namespace zx {

class CategoryWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit CategoryWindow(Catalogue &catalogue);

    QListWidget *categories() const { return m_categories; }
    QLineEdit *name() const { return m_name; }
    ImageControl *addButton() const { return m_addButton; }   // 新增分类
    ImageControl *deleteButton() const { return m_deleteButton; }   // 删除分类

    // The handlers of the two picture buttons.
    void addCategory();       // Image1, 新增分类
    void deleteCategory();    // Image2, 删除分类

protected:
    void arrangeTabOrder() override;

private:
    void buildAddPanel();
    void buildDeletePanel();
    void loadContents();
    bool alreadyListed(const QString &name);

    Catalogue &m_catalogue;
    QListWidget *m_categories = nullptr;
    QLineEdit *m_name = nullptr;
    ImageControl *m_addButton = nullptr;
    ImageControl *m_deleteButton = nullptr;
};

} // namespace zx
