#pragma once
// The main window's 份量 box beside the 原料 label: it shows how many
// people the dish on display is written for ("—" when the dish does not
// say) and, when the cook sets another number, the ingredients scaled for
// it. Lines whose amount cannot be scaled stay as written, in grey. What
// is stored never changes; the next dish shown starts at its own servings.
#include <QObject>
#include <QString>

class QSpinBox;
class QWidget;
class RichTextBox;

namespace zx {

class ServingsView : public QObject {
    Q_OBJECT
public:
    ServingsView(QWidget *window, RichTextBox *ingredients);

    // A dish is shown: its ingredients as stored and its servings (0 when
    // unknown).
    void show(const QString &ingredients, int servings);

    QSpinBox *box() const { return m_box; }
    // The number the box shows; 0 while it shows "—".
    int shownServings() const;
    // Whether the ingredients are shown for another number than stored.
    bool isScaled() const;
    // The ingredients as shown (CR LF between lines).
    QString shownIngredients() const;

private:
    void showIngredients();
    double factor() const;

    QSpinBox *m_box = nullptr;
    RichTextBox *m_ingredients = nullptr;
    QString m_stored;        // the ingredients as stored
    int m_storedServings = 0;
};

} // namespace zx
