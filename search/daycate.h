#pragma once
// The daily recipe window: shows one dish of the store chosen at random each
// time the cook asks, and prints the shown dish.
#include "skin/framedwindow.h"
#include "store/records.h"

#include <functional>

class Catalogue;
class QLineEdit;
class RichTextBox;

namespace zx {

class daycate : public FramedWindow {
    Q_OBJECT
public:
    explicit daycate(Catalogue &catalogue);

    // How many numbers one pick may draw before it gives up on finding a
    // row whose id was drawn. Each draw is one lookup by id, so the bound is
    // generous: even a table with a single dish under 1700 is found almost
    // always, and an empty table still ends at once.
    static constexpr int MaxDraws = 20000;

    // The number source of the pick: numbers in [0, 1). By default a
    // generator seeded from the clock when the window loads.
    void setDraw(std::function<double()> draw);

    void showRandomDish();    // Image1, 显示菜谱: pick and show a dish
    void printShown();        // Image2, 打印菜谱

private:
    void buildControls();

    Catalogue &m_catalogue;
    std::function<double()> m_draw;
    QLineEdit *m_Text1 = nullptr;
    RichTextBox *m_boxx2 = nullptr;
    RichTextBox *m_Boxx3 = nullptr;
    DishRecord m_shown;   // the dish on display, as stored; empty for none
};

} // namespace zx
