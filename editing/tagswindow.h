#pragma once
// The small window of the tree's menu that edits the cook's tags: those of
// one dish ("标签…"), or one tag given to every dish of a category
// ("给本分类加标签…"). Enter or 更 新 writes, Esc closes.
#include "skin/framedwindow.h"

class Catalogue;
class ImageControl;
class QLabel;
class QLineEdit;

namespace zx {

class TagsWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit TagsWindow(Catalogue &catalogue);

    // What the window edits: the dish's tags, or one tag for the category.
    void editDish(qint64 id, const QString &name);
    void tagCategory(const QString &category);

    QLineEdit *tags() const { return m_tags; }
    QLabel *subject() const { return m_subject; }
    void store();   // Enter and 更 新
    bool hasPendingInput() const override;

private:
    Catalogue &m_catalogue;
    QLabel *m_subject = nullptr;
    QLineEdit *m_tags = nullptr;
    ImageControl *m_store = nullptr;
    qint64 m_dish = 0;        // the dish edited, or 0
    QString m_category;       // the category tagged, when no dish
    QString m_loaded;         // what the box held when it was filled
};

} // namespace zx
