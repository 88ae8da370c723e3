#include "showing/dailydishwindow.h"
#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/fonts.h"
#include "showing/recipeprint.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"
#include "skin/richtextbox.h"
#include "store/recipestore.h"

#include <QFrame>
#include <QLineEdit>
#include <chrono>
#include <random>

namespace {
const char *const NothingToRecommend = "没有找到可以推荐的菜谱。";

std::function<double()> clockSeededDraw()
{
    const auto seed = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}
} // namespace

namespace zx {

DailyDishWindow::DailyDishWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("daycate"), QStringLiteral("：：每日一菜：："), Skin::CloseOnly,
                   8175, 5520, 0),
      m_catalogue(catalogue),
      m_draw(clockSeededDraw())
{
    buildControls();
    centreOnScreen();

    const StoreStatus probe = m_catalogue.probe();
    if (!probe)
        tell(this, probe.error().userText());
}

void DailyDishWindow::buildControls()
{
    const Form::Controls make(this);
    m_name = make.lineBox(QStringLiteral("Text1"), QStringLiteral("菜名"), {240, 400, 7695, 375});
    m_name->setFont(songFont(12));
    m_ingredients = make.richBox(QStringLiteral("boxx2"), QStringLiteral("原料"), {240, 885, 7695, 1095});
    m_ingredients->setReadOnly(true);
    m_method = make.richBox(QStringLiteral("Boxx3"), QStringLiteral("制作方法"), {240, 2085, 7695, 2415});
    m_method->setReadOnly(true);

    ImageControl *show = make.pictureButton(QStringLiteral("Image1"), QStringLiteral("显示菜谱"),
                                            QStringLiteral(":/buttons/show_dish.png"), {2520, 4560, 1410, 480});
    ImageControl *print = make.pictureButton(QStringLiteral("Image2"), QStringLiteral("打印菜谱"),
                                             QStringLiteral(":/buttons/print.png"), {4200, 4560, 1410, 480});
    // Two rules: under the name, and above the buttons.
    make.rule(QStringLiteral("Line1"), {240, 800, 7695, 60});
    make.rule(QStringLiteral("Line2"), {240, 4500, 7695, 60});

    connect(show, &ImageControl::clicked, this, &DailyDishWindow::showRandomDish);
    connect(print, &ImageControl::clicked, this, &DailyDishWindow::printShown);
}

void DailyDishWindow::setDraw(std::function<double()> draw)
{
    m_draw = draw ? std::move(draw) : clockSeededDraw();
}

void DailyDishWindow::showRandomDish()
{
    const auto picked = m_catalogue.pickDish(m_draw);
    if (!picked) {
        tell(this, picked.error().userText());
        return;
    }
    if (!picked.value()) {
        // The boxes keep the dish they show.
        tell(this, QString::fromUtf8(NothingToRecommend));
        return;
    }
    const DishRecord &dish = *picked.value();
    m_picked = dish;
    m_name->setText(dish.name);
    m_ingredients->setText(dish.ingredients);
    m_method->setText(dish.method);
}

// The name box may be edited: the page says what the boxes say, and an
// empty name prints nothing. The category and the picture are the picked
// dish's.
void DailyDishWindow::printShown()
{
    DishRecord shown = m_picked;
    shown.name = m_name->text();
    shown.ingredients = m_ingredients->text();
    shown.method = m_method->text();
    printDish(shown, m_catalogue.dataFolder());
}

} // namespace zx
