#pragma once
// 购物清单: the dishes on the list with their servings, and what to buy,
// merged and grouped by market stall (core/shoppinglist.h). 复 制, 打 印,
// 另存为… (UTF-8 text), 清 空; 不列常备调料 hides the staples; 同义词…
// gives the cook an own copy of the tables to edit.
#include "skin/framedwindow.h"
#include "store/plans.h"

class Catalogue;
class QCheckBox;
class QListWidget;
class QTextEdit;
class QSpinBox;

namespace zx {

class ShoppingWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit ShoppingWindow(Catalogue &catalogue);

    QListWidget *dishList() const { return m_dishList; }
    QSpinBox *servings() const { return m_servings; }
    QTextEdit *items() const { return m_items; }
    QCheckBox *hideStaples() const { return m_hideStaples; }
    // The list as 复 制 and 另存为… write it.
    QString listText() const;

    void copyList();
    void printList();
    void saveList();
    void clearList();
    void removeDish();
    void openSynonyms();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildButtons();
    void reload();
    void showRows();
    void showItems();
    void setServings(int servings);
    void store();

    Catalogue &m_catalogue;
    QVector<PlanRow> m_rows;
    QListWidget *m_dishList = nullptr;
    QSpinBox *m_servings = nullptr;
    QTextEdit *m_items = nullptr;
    QCheckBox *m_hideStaples = nullptr;
    QString m_text;
    bool m_storing = false;
};

} // namespace zx
