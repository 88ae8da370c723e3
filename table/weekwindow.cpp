#include "table/weekwindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/registry.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"
#include "table/dishpicker.h"
#include "table/tablekit.h"
#include "table/shoppingwindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QRandomGenerator>
#include <QSpinBox>

namespace zx {

namespace {
const QString MondayNote = QStringLiteral("week.monday");
const QString PerPlaceNote = QStringLiteral("week.perPlace");

quint32 draw(quint32 bound) { return QRandomGenerator::global()->bounded(bound); }

QSet<QString> checkedIn(const QListWidget *list)
{
    QSet<QString> checked;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            checked.insert(list->item(i)->text());
    }
    return checked;
}

void addChecks(QListWidget *list, const QStringList &names)
{
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}
} // namespace

WeekWindow::WeekWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("week"), QStringLiteral("：：一周菜单：："), Skin::CloseOnly, 10200, 7350, 0),
      m_catalogue(catalogue)
{
    buildControls();
    buildButtons();
    fillChoices();
    loadPlan();
    centreOnScreen();
    m_places->setFocus();
}

void WeekWindow::buildControls()
{
    const Form::Controls make(this);
    m_dates = make.label(QStringLiteral("datesLabel"), QString(), {300, 660, 6000, 270});
    m_places = make.listBox(QStringLiteral("placesList"), QStringLiteral("一周的十四顿"), {300, 990, 5100, 3900});
    make.label(QStringLiteral("dishesLabel"), QStringLiteral("这一顿的菜："), {300, 5010});
    m_dishes = make.listBox(QStringLiteral("dishesList"), QStringLiteral("这一顿的菜"), {300, 5280, 3300, 1650});
    make.label(QStringLiteral("categoriesLabel"), QStringLiteral("从这些分类选（不勾＝全部）："), {5700, 660});
    m_categories = make.listBox(QStringLiteral("categoriesList"), QStringLiteral("从这些分类选"), {5700, 990, 4200, 2400});
    make.label(QStringLiteral("tagsLabel"), QStringLiteral("只选带这些标签的（不勾＝不限）："), {5700, 3480});
    m_tags = make.listBox(QStringLiteral("tagsList"), QStringLiteral("只选带这些标签的"), {5700, 3780, 4200, 1500});
    make.label(QStringLiteral("perPlaceLabel"), QStringLiteral("每顿："), {5700, 5460});
    m_perPlace = make.spinBox(QStringLiteral("perPlaceBox"), QStringLiteral("每顿几道菜"), QStringLiteral(" 道"),
                              {6450, 5400, 1050, 330});
    m_perPlace->setRange(1, 6);
    m_perPlace->setValue(qBound(1, m_catalogue.plans().notes.value(PerPlaceNote, QStringLiteral("2")).toInt(), 6));
    connect(m_perPlace, &QSpinBox::valueChanged, this, [this](int n) {
        static_cast<void>(m_catalogue.setPlanNote(PerPlaceNote, QString::number(n)));
    });
    connect(m_places, &QListWidget::currentRowChanged, this, &WeekWindow::showDishes);
    connect(m_places, &QListWidget::itemActivated, this, [this] {
        const int place = currentPlace();
        if (m_offered.id == 0 || place < 0)
            return;
        if (!m_plan.contains(m_offered.id))
            m_plan.places[size_t(place)] << m_offered;
        m_offered = {};
        store();
        showPlaces();
    });
    m_dishes->installEventFilter(this);
}

void WeekWindow::buildButtons()
{
    const Form::Controls make(this);
    const auto button = [&](const char *name, const char *caption, const char *picture, double left, double top,
                            void (WeekWindow::*handler)()) {
        ImageControl *b = make.pictureButton(QString::fromUtf8(name), QString::fromUtf8(caption),
                                             QString::fromUtf8(picture), {left, top, 0, 0});
        connect(b, &ImageControl::clicked, this, handler);
    };
    button("addDish", "添加", ":/buttons/add.png", 3780, 5280, &WeekWindow::addDish);
    button("swapDish", "换一道", ":/buttons/swap_dish.png", 3780, 5850, &WeekWindow::swapDish);
    button("removeDish", "删 除", ":/buttons/remove.png", 3780, 6420, &WeekWindow::removeDish);
    button("autoArrange", "自动安排", ":/buttons/auto_arrange.png", 7650, 5370, &WeekWindow::autoArrange);
    button("copyWeek", "复 制", ":/buttons/copy.png", 5700, 6000, &WeekWindow::copyWeek);
    button("printWeek", "打 印", ":/buttons/print_list.png", 7260, 6000, &WeekWindow::printWeek);
    button("makeList", "生成购物清单", ":/buttons/make_list.png", 5700, 6600, &WeekWindow::makeList);
}

void WeekWindow::fillChoices()
{
    const CatalogueData &data = m_catalogue.data();
    QStringList categories;
    for (const QString &c : data.categories) {
        if (!c.isEmpty() && !categories.contains(c))
            categories << c;
    }
    const QVector<Week::Candidate> all = pool();
    if (std::any_of(all.begin(), all.end(), [](const Week::Candidate &c) { return c.category == UnfiledHeading; }))
        categories << UnfiledHeading;
    addChecks(m_categories, categories);
    addChecks(m_tags, m_catalogue.marks().tagsInUse());
}

// Every dish of the catalogue, as the filling chooses among them.
QVector<Week::Candidate> WeekWindow::pool() const
{
    const CatalogueData &data = m_catalogue.data();
    const QSet<QString> listed(data.categories.begin(), data.categories.end());
    QVector<Week::Candidate> all;
    all.reserve(data.dishCount());
    for (qsizetype row = 0; row < data.dishCount(); ++row) {
        const QString category = data.dishCategories().at(data.categoryOf(row));
        all << Week::Candidate{data.id(row), data.name(row), listed.contains(category) ? category : UnfiledHeading,
                               m_catalogue.marks().tagsOf(data.id(row))};
    }
    return all;
}

void WeekWindow::loadPlan()
{
    const Plans &plans = m_catalogue.plans();
    QStringList notes;
    const QVector<PlanRow> rows =
        TableKit::followCatalogue(m_catalogue, plans.lists.value(PlanLists::Week), notes);
    const QDate stored = QDate::fromString(plans.notes.value(MondayNote), Qt::ISODate);
    const QDate coming = Week::comingMonday(QDate::currentDate());
    // A week that has ended gives way to the next, its dishes kept.
    m_plan.monday = stored.isValid() && stored.addDays(7) > QDate::currentDate() ? stored : coming;
    for (const PlanRow &row : rows) {
        if (row.place >= 0 && row.place < Week::Places)
            m_plan.places[size_t(row.place)] << Week::Entry{row.dish, row.name};
    }
    if (!notes.isEmpty() || rows.size() != plans.lists.value(PlanLists::Week).size())
        store();
    showPlaces();
    m_places->setCurrentRow(0);
    if (!notes.isEmpty())
        tell(this, notes.join(QLatin1Char('\n')));
}

void WeekWindow::store()
{
    QVector<PlanRow> rows;
    for (int place = 0; place < Week::Places; ++place) {
        for (const Week::Entry &e : m_plan.places[size_t(place)])
            rows << PlanRow{place, e.id, e.name, 0};
    }
    StoreStatus saved = m_catalogue.setPlan(PlanLists::Week, rows);
    if (saved)
        saved = m_catalogue.setPlanNote(MondayNote, m_plan.monday.toString(Qt::ISODate));
    if (!saved)
        tell(this, QStringLiteral("保存一周菜单失败：") + saved.error().userText());
}

void WeekWindow::showPlaces()
{
    const int current = m_places->currentRow();
    m_dates->setText(QStringLiteral("%1（周一）至 %2（周日）")
                         .arg(m_plan.monday.toString(QStringLiteral("M月d日")),
                              m_plan.monday.addDays(6).toString(QStringLiteral("M月d日"))));
    const QStringList lines = Week::lines(m_plan);
    m_places->clear();
    m_places->addItems(lines);
    m_places->setCurrentRow(qMax(current, 0));
    showDishes();
}

void WeekWindow::showDishes()
{
    const int place = currentPlace();
    const int current = m_dishes->currentRow();
    m_dishes->clear();
    if (place < 0)
        return;
    for (const Week::Entry &e : m_plan.places[size_t(place)])
        m_dishes->addItem(e.name);
    m_dishes->setCurrentRow(qMin(current, m_dishes->count() - 1));
}

int WeekWindow::currentPlace() const { return m_places->currentRow(); }

void WeekWindow::autoArrange()
{
    const QVector<Week::Candidate> chosen = Week::choose(pool(), checkedIn(m_categories), checkedIn(m_tags));
    const Week::Filled filled = Week::fill(m_plan, chosen, m_perPlace->value(), draw);
    store();
    showPlaces();
    if (!filled.complete)
        tell(this, filled.message());
}

void WeekWindow::addDish()
{
    const int place = currentPlace();
    if (place < 0)
        return;
    Windows::show<DishPicker>(m_catalogue)->pickFor(Week::placeName(place), [this, place](qint64 id, const QString &name) {
        if (m_plan.contains(id)) {
            tell(this, QStringLiteral("“%1”这周已经排过了。").arg(name));
            return;
        }
        m_plan.places[size_t(place)] << Week::Entry{id, name};
        store();
        showPlaces();
        activateWindow();
        m_dishes->setFocus();
    });
}

void WeekWindow::swapDish()
{
    const int place = currentPlace();
    const int index = m_dishes->currentRow();
    if (place < 0 || index < 0) {
        tell(this, QStringLiteral("请先选中要换的菜。"));
        return;
    }
    const QVector<Week::Candidate> chosen = Week::choose(pool(), checkedIn(m_categories), checkedIn(m_tags));
    if (!Week::replace(m_plan, place, index, chosen, draw)) {
        tell(this, QStringLiteral("没有别的菜可以换了。"));
        return;
    }
    store();
    showPlaces();
}

void WeekWindow::removeDish()
{
    const int place = currentPlace();
    const int index = m_dishes->currentRow();
    if (place < 0 || index < 0)
        return;
    m_plan.places[size_t(place)].removeAt(index);
    store();
    showPlaces();
}

void WeekWindow::offerDish(qint64 id, const QString &name)
{
    if (m_plan.contains(id)) {
        tell(this, QStringLiteral("“%1”这周已经排过了。").arg(name));
        return;
    }
    m_offered = Week::Entry{id, name};
    m_dates->setText(QStringLiteral("把“%1”放进哪一顿？选好后按回车或双击。").arg(name));
    m_places->setFocus();
}

void WeekWindow::copyWeek() { QGuiApplication::clipboard()->setText(Week::text(m_plan)); }

void WeekWindow::printWeek()
{
    TableKit::printText(this, QStringLiteral("一周菜单　%1").arg(m_dates->text()), Week::text(m_plan), true);
}

void WeekWindow::makeList()
{
    QVector<PlanRow> rows;
    for (const Week::Entry &e : m_plan.allDishes())
        rows << PlanRow{0, e.id, e.name, TableKit::writtenServings(m_catalogue, e.id)};
    if (rows.isEmpty()) {
        tell(this, QStringLiteral("这周还没有排菜。"));
        return;
    }
    if (TableKit::addToShoppingList(this, m_catalogue, rows))
        Windows::show<ShoppingWindow>(m_catalogue);
}

// Delete in the place's dishes removes the selected one.
bool WeekWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_dishes && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        removeDish();
        return true;
    }
    return FramedWindow::eventFilter(watched, event);
}

} // namespace zx
