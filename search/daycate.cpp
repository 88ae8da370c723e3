#include "search/daycate.h"
#include "app/fonts.h"

#include "app/dialogs.h"
#include "app/globals.h"
#include "app/recipeprint.h"
#include "app/richtextbox.h"
#include "app/textboxes.h"
#include "skin/imagecontrol.h"
#include "store/recipestore.h"

#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
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

daycate::daycate()
    : FramedWindow(QStringLiteral("daycate"), QStringLiteral("：：每日一菜：："), Skin::CloseOnly,
                   8175, 5520, 0),
      m_draw(clockSeededDraw())
{
    buildControls();
    centreOnScreen();

    const StoreStatus probe = RecipeStore::Probe(App::storePath());
    if (!probe)
        tell(this, probe.error().userText());
}

void daycate::buildControls()
{
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("菜名"));
    Text1->setFont(songFont(12));
    place(Text1, 240, 400, 7695, 375);

    boxx2 = new RichTextBox(this);
    boxx2->setObjectName(QStringLiteral("boxx2"));
    boxx2->setAccessibleName(QStringLiteral("原料"));
    boxx2->setReadOnly(true);
    place(boxx2, 240, 885, 7695, 1095);

    Boxx3 = new RichTextBox(this);
    Boxx3->setObjectName(QStringLiteral("Boxx3"));
    Boxx3->setAccessibleName(QStringLiteral("制作方法"));
    Boxx3->setReadOnly(true);
    place(Boxx3, 240, 2085, 7695, 2415);

    // The plain copies that the print reads. They lie inside the method box
    // and would hide part of it, so the cook never sees them.
    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    place(Text2, 3840, 2520, 1335, 735);
    Text2->hide();
    Text3 = new QPlainTextEdit(this);
    Text3->setObjectName(QStringLiteral("Text3"));
    place(Text3, 5640, 2640, 1335, 735);
    Text3->hide();

    Image1 = makePictureButton(this, QStringLiteral("Image1"), QStringLiteral("显示菜谱"),
                               QStringLiteral(":/buttons/show_dish.png"), 2520, 4560, 1410, 480);
    Image2 = makePictureButton(this, QStringLiteral("Image2"), QStringLiteral("打印菜谱"),
                               QStringLiteral(":/buttons/print.png"), 4200, 4560, 1410, 480);

    // Two rules: under the name, and above the buttons.
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    place(Line1, 240, 800, 7695, 60);
    Line2 = new QFrame(this);
    Line2->setObjectName(QStringLiteral("Line2"));
    Line2->setFrameShape(QFrame::HLine);
    Line2->setFrameShadow(QFrame::Sunken);
    place(Line2, 240, 4500, 7695, 60);

    connect(Image1, &ImageControl::clicked, this, &daycate::IniTheme);
    connect(Image2, &ImageControl::clicked, this, &daycate::printShown);
}

void daycate::setDraw(std::function<double()> draw)
{
    m_draw = draw ? std::move(draw) : clockSeededDraw();
}

void daycate::IniTheme()
{
    // Ids from 1 to 1700 only; draws again while the drawn id is missing.
    const auto picked = RecipeStore::PickRandomDish(App::storePath(), m_draw, MaxDraws);
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
    Text1->setText(dish.name);
    boxx2->setText(dish.ingredients);
    Boxx3->setText(dish.method);
    Text2->setPlainText(toLf(dish.ingredients));
    Text3->setPlainText(toLf(dish.method));
}

void daycate::printShown()
{
    if (Text1->text().isEmpty() || boxx2->text().isEmpty() || Boxx3->text().isEmpty())
        return;
    PrintRecipe(trimBlanks(Text1->text()), trimBlanks(toCrLf(Text2->toPlainText())),
                trimBlanks(toCrLf(Text3->toPlainText())));
}
