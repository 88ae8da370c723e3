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

    QListWidget *List1() const { return m_List1; }
    QLineEdit *Text1() const { return m_Text1; }
    ImageControl *Image1() const { return m_Image1; }   // 新增分类
    ImageControl *Image2() const { return m_Image2; }   // 删除分类

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
    QListWidget *m_List1 = nullptr;
    QLineEdit *m_Text1 = nullptr;
    ImageControl *m_Image1 = nullptr;
    ImageControl *m_Image2 = nullptr;
};

} // namespace zx
