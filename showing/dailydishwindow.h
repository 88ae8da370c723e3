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

class DailyDishWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit DailyDishWindow(Catalogue &catalogue);

    // The number source of the pick: numbers in [0, 1). By default a
    // generator seeded from the clock when the window loads.
    void setDraw(std::function<double()> draw);

    void showRandomDish();    // Image1, 显示菜谱: pick and show a dish
    void printShown();        // Image2, 打印菜谱: what the boxes show

private:
    void buildControls();

    Catalogue &m_catalogue;
    std::function<double()> m_draw;
    QLineEdit *m_name = nullptr;
    RichTextBox *m_ingredients = nullptr;
    RichTextBox *m_method = nullptr;
    DishRecord m_picked;   // the dish last drawn
};

} // namespace zx
