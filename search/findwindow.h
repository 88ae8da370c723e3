#pragma once
// The search-and-modify window: looks dishes up by a part of their name,
// shows one found dish, and writes the cook's edit of it back to the store.
#include "skin/framedwindow.h"
#include "store/records.h"

#include <QtGlobal>
#include <optional>

class Catalogue;
class ImageControl;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextEdit;

namespace zx {

// The window named "find" (a class of that name would be hidden inside
// every widget by QWidget::find).
class FindWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit FindWindow(Catalogue &catalogue);

    // The handlers of the four picture buttons and of the result list.
    void search();            // Image1, 开始查询
    void choosePicture();     // Image2, 插入图片
    void storeEdit();         // Image3, 更 新
    void reset();             // Image4, 重 写
    // List1: a click on an entry, or the arrow keys moving the selection.
    void showSelectedDish();
    QLineEdit *tags() const { return m_tags; }
    QLineEdit *servings() const { return m_servings; }   // 份量
    // A dish is shown and one of its boxes differs from what was loaded.
    bool hasPendingInput() const override;
    // ...one of the boxes but the name, which is also the search text.
    bool dishBoxesChanged() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSearchPanel();
    void buildDishPanel();
    void buildButtons();
    QListWidgetItem *selectedEntry() const;
    void listFound(const QVector<DishRecord> &found);
    void markFoundWords(QTextEdit *box);
    bool boxesHoldRow(qint64 id);

    Catalogue &m_catalogue;
    QLineEdit *m_name = nullptr;
    QListWidget *m_found = nullptr;
    QTextEdit *m_ingredients = nullptr;
    QTextEdit *m_method = nullptr;
    QLineEdit *m_picturePath = nullptr;
    QLineEdit *m_tags = nullptr;            // 标签
    QString m_loadedTags;                   // what it held right after the dish was shown
    QLineEdit *m_servings = nullptr;        // 份量
    QString m_loadedServings;
    ImageControl *m_picture = nullptr;
    QCheckBox *m_searchTexts = nullptr;     // 查原料和做法: search ingredients and method too
    QStringList m_foundWords;          // the words of the last such search
    // The row as it was read when its dish was shown: an edit is written
    // only while the row still holds exactly this.
    std::optional<DishRecord> m_shown;
    DishRecord m_loaded;   // what the boxes held right after it was shown
    QListWidgetItem *m_shownItem = nullptr;   // the entry m_shown came from
};

} // namespace zx
