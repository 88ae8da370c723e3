#pragma once
// 一周菜单: fourteen places (周一 午饭 … 周日 晚饭) from the coming Monday.
// 自动安排 fills the empty places with dishes of the chosen categories and
// tags, never one twice; a place's dishes are added (a picker), replaced
// (换一道) or removed (Delete). 复 制 puts the week on the clipboard, 打 印
// prints it on one A4 landscape page, 生成购物清单 puts every dish on the
// shopping list.
#include "core/weekplan.h"
#include "skin/framedwindow.h"

class Catalogue;
class QLabel;
class QListWidget;
class QSpinBox;

namespace zx {

class WeekWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit WeekWindow(Catalogue &catalogue);

    QListWidget *places() const { return m_places; }
    QListWidget *dishes() const { return m_dishes; }
    QListWidget *categories() const { return m_categories; }
    QListWidget *tags() const { return m_tags; }
    QSpinBox *perPlace() const { return m_perPlace; }
    const Week::Plan &plan() const { return m_plan; }

    void autoArrange();
    void addDish();
    void swapDish();
    void removeDish();
    void copyWeek();
    void printWeek();
    void makeList();
    // 放进一周菜单…: the dish waits until the cook picks a place (Enter or a
    // double click on it).
    void offerDish(qint64 id, const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildButtons();
    void loadPlan();
    void fillChoices();
    QVector<Week::Candidate> pool() const;
    void store();
    void showPlaces();
    void showDishes();
    int currentPlace() const;

    Catalogue &m_catalogue;
    Week::Plan m_plan;
    QLabel *m_dates = nullptr;
    QListWidget *m_places = nullptr;
    QListWidget *m_dishes = nullptr;
    QListWidget *m_categories = nullptr;
    QListWidget *m_tags = nullptr;
    QSpinBox *m_perPlace = nullptr;
    Week::Entry m_offered;   // id 0: none waiting
};

} // namespace zx
