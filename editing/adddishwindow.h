#pragma once
// The add-recipe window: pick a category, type the name, ingredients and
// method, optionally choose a picture, and save the dish into table "01".
#include "skin/framedwindow.h"

class Catalogue;
class ImageControl;
class QLabel;
class QLineEdit;
class QListWidget;
class QTextEdit;

namespace zx {

class AddDishWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit AddDishWindow(Catalogue &catalogue);

    // The category list, as loaded (one entry per row of "02", untrimmed).
    QListWidget *categories() const { return m_categories; }
    QLineEdit *name() const { return m_name; }      // dish name
    QLineEdit *picturePath() const { return m_picturePath; }      // picture path
    QTextEdit *ingredients() const { return m_ingredients; } // ingredients
    QTextEdit *method() const { return m_method; } // method
    QLabel *picture() const { return m_picture; }       // picture preview
    QLineEdit *tags() const { return m_tags; }          // 标签
    QLineEdit *servings() const { return m_servings; }  // 份量
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
    QListWidget *m_categories = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_picturePath = nullptr;
    QTextEdit *m_ingredients = nullptr;
    QTextEdit *m_method = nullptr;
    QLineEdit *m_tags = nullptr;
    QLineEdit *m_servings = nullptr;
    QLabel *m_picture = nullptr;
    ImageControl *m_addimage = nullptr;
    ImageControl *m_addcp = nullptr;
};

} // namespace zx
