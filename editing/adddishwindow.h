#pragma once
// The add-recipe window: pick a category, type the name, ingredients and
// method, optionally choose a picture, and save the dish into table "01".
#include "skin/framedwindow.h"

class Catalogue;
class ImageControl;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace zx {

class AddDishWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit AddDishWindow(Catalogue &catalogue);

    // The category list, as loaded (one entry per row of "02", untrimmed).
    QListWidget *List1() const { return m_List1; }
    QLineEdit *Text1() const { return m_Text1; }      // dish name
    QLineEdit *Text2() const { return m_Text2; }      // picture path
    QPlainTextEdit *Text3() const { return m_Text3; } // ingredients
    QPlainTextEdit *Text4() const { return m_Text4; } // method
    QLabel *Image8() const { return m_Image8; }       // picture preview
    ImageControl *addimage() const { return m_addimage; }
    ImageControl *addcp() const { return m_addcp; }

    // The handlers of the two picture buttons.
    void choosePicture();     // addimage, 插入图片
    void saveDish();          // addcp, 添加
    // Any box holds text not saved yet.
    bool hasPendingInput() const override;

private:
    void buildCategoryPanel();
    void buildRecipePanel();
    void loadContents();
    bool stillListed(const QString &category);

    Catalogue &m_catalogue;
    QListWidget *m_List1 = nullptr;
    QLineEdit *m_Text1 = nullptr;
    QLineEdit *m_Text2 = nullptr;
    QPlainTextEdit *m_Text3 = nullptr;
    QPlainTextEdit *m_Text4 = nullptr;
    QLabel *m_Image8 = nullptr;
    ImageControl *m_addimage = nullptr;
    ImageControl *m_addcp = nullptr;
};

} // namespace zx
