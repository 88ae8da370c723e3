#include "table/shoppingwindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/shoppinglist.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"
#include "table/tablekit.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTextEdit>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSpinBox>

namespace zx {

namespace {
const QString HideNote = QStringLiteral("shopping.hideStaples");

// The ingredients of a dish put on the list for what is missing only:
// the lines of what the cook has, or keeps at hand, left out.
QString missingLines(const QString &ingredients, const QSet<QString> &atHand, const Ingredients::Synonyms &synonyms)
{
    QStringList kept;
    for (const QString &line : Ingredients::splitLines(ingredients)) {
        const QList<Ingredients::Line> read = Ingredients::readLine(line);
        if (std::any_of(read.begin(), read.end(),
                        [&](const Ingredients::Line &l) { return !atHand.contains(synonyms.canonical(l.name)); }))
            kept << line;
    }
    return kept.join(QLatin1Char('\n'));
}
} // namespace

ShoppingWindow::ShoppingWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("shopping"), QStringLiteral("：：购物清单：："), Skin::CloseOnly, 9600, 7350, 0),
      m_catalogue(catalogue)
{
    buildControls();
    buildButtons();
    connect(&m_catalogue, &Catalogue::plansChanged, this, [this](const QString &list) {
        if (list == PlanLists::Shopping && !m_storing)
            reload();
    });
    connect(&m_catalogue, &Catalogue::refreshed, this, &ShoppingWindow::showItems);
    reload();
    QStringList notes;
    const QVector<PlanRow> followed = TableKit::followCatalogue(m_catalogue, m_rows, notes);
    if (followed != m_rows) {
        m_rows = followed;
        store();
        showRows();
    }
    if (!notes.isEmpty())
        tell(this, notes.join(QLatin1Char('\n')));
    centreOnScreen();
    m_dishList->setFocus();
}

void ShoppingWindow::buildControls()
{
    const Form::Controls make(this);
    make.label(QStringLiteral("dishesLabel"), QStringLiteral("清单上的菜："), {300, 690});
    m_dishList = make.listBox(QStringLiteral("dishList"), QStringLiteral("清单上的菜"), {300, 990, 3300, 4350});
    make.label(QStringLiteral("servingsLabel"), QStringLiteral("份量："), {300, 5490});
    m_servings = make.spinBox(QStringLiteral("servingsBox"), QStringLiteral("份量"), QStringLiteral(" 人份"),
                              {1050, 5430, 1200, 330});
    m_servings->setRange(1, 99);
    make.label(QStringLiteral("itemsLabel"), QStringLiteral("要买的："), {3840, 690});
    m_items = make.textBox(QStringLiteral("itemsBox"), QStringLiteral("要买的"), {3840, 990, 5460, 4950});
    m_items->setReadOnly(true);
    m_hideStaples = new QCheckBox(QStringLiteral("不列常备调料"), this);
    m_hideStaples->setObjectName(QStringLiteral("hideStaples"));
    m_hideStaples->setAccessibleName(QStringLiteral("不列常备调料"));
    m_hideStaples->setChecked(m_catalogue.plans().notes.value(HideNote) == QLatin1String("1"));
    Form::place(m_hideStaples, {3840, 6060, 2100, 300});
    connect(m_dishList, &QListWidget::currentRowChanged, this, [this](int row) {
        const QSignalBlocker quiet(m_servings);
        m_servings->setEnabled(row >= 0);
        if (row >= 0)
            m_servings->setValue(m_rows.at(row).servings);
    });
    connect(m_servings, &QSpinBox::valueChanged, this, &ShoppingWindow::setServings);
    connect(m_hideStaples, &QCheckBox::toggled, this, [this](bool hide) {
        static_cast<void>(m_catalogue.setPlanNote(HideNote, hide ? QStringLiteral("1") : QString()));
        showItems();
    });
    m_dishList->installEventFilter(this);
}

void ShoppingWindow::buildButtons()
{
    const Form::Controls make(this);
    const auto button = [&](const char *name, const char *caption, const char *picture, double left, double top,
                            void (ShoppingWindow::*handler)()) {
        ImageControl *b = make.pictureButton(QString::fromUtf8(name), QString::fromUtf8(caption),
                                             QString::fromUtf8(picture), {left, top, 0, 0});
        connect(b, &ImageControl::clicked, this, handler);
    };
    button("removeFromList", "删 除", ":/buttons/remove.png", 2400, 5400, &ShoppingWindow::removeDish);
    button("clearList", "清 空", ":/buttons/clear.png", 300, 6000, &ShoppingWindow::clearList);
    button("synonymsButton", "同义词…", ":/buttons/synonyms.png", 1860, 6000, &ShoppingWindow::openSynonyms);
    button("copyList", "复 制", ":/buttons/copy.png", 3840, 6510, &ShoppingWindow::copyList);
    button("printList", "打 印", ":/buttons/print_list.png", 5640, 6510, &ShoppingWindow::printList);
    button("saveList", "另存为…", ":/buttons/save_as.png", 7440, 6510, &ShoppingWindow::saveList);
}

void ShoppingWindow::reload()
{
    m_rows = m_catalogue.plans().lists.value(PlanLists::Shopping);
    showRows();
}

void ShoppingWindow::showRows()
{
    const int current = m_dishList->currentRow();
    m_dishList->clear();
    for (const PlanRow &row : std::as_const(m_rows)) {
        m_dishList->addItem(QStringLiteral("%1　%2 人份%3")
                                .arg(row.name)
                                .arg(row.servings)
                                .arg(row.place == TableKit::OnlyMissing ? QStringLiteral("（只买缺的）") : QString()));
    }
    m_dishList->setCurrentRow(qMin(qMax(current, 0), int(m_rows.size()) - 1));
    m_servings->setEnabled(!m_rows.isEmpty());
    showItems();
}

void ShoppingWindow::showItems()
{
    const Ingredients::Tables tables = TableKit::tables(this, m_catalogue);
    const QStringList staples = TableKit::staples(m_catalogue);
    QSet<QString> atHand;
    for (const QString &name : staples + Ingredients::splitList(m_catalogue.plans().notes.value(TableKit::HaveNote)))
        atHand.insert(tables.synonyms.canonical(Ingredients::cleanName(name)));
    QList<Shopping::Dish> dishes;
    for (const PlanRow &row : std::as_const(m_rows)) {
        const auto found = m_catalogue.dish(row.dish);
        if (!found || !found->has_value())
            continue;
        const QString ingredients = (*found)->ingredients;
        dishes << Shopping::Dish{row.dish, row.name,
                                 row.place == TableKit::OnlyMissing ? missingLines(ingredients, atHand, tables.synonyms)
                                                                    : ingredients,
                                 double(row.servings) / TableKit::writtenServings(m_catalogue, row.dish)};
    }
    m_text = Shopping::listText(Shopping::merge(dishes, tables, staples), int(m_rows.size()),
                                m_hideStaples->isChecked());
    m_items->setPlainText(m_text);
}

QString ShoppingWindow::listText() const { return m_text; }

void ShoppingWindow::store()
{
    m_storing = true;
    const StoreStatus saved = m_catalogue.setPlan(PlanLists::Shopping, m_rows);
    m_storing = false;
    if (!saved)
        tell(this, QStringLiteral("保存购物清单失败：") + saved.error().userText());
}

void ShoppingWindow::setServings(int servings)
{
    const int row = m_dishList->currentRow();
    if (row < 0 || row >= m_rows.size() || m_rows[row].servings == servings)
        return;
    m_rows[row].servings = servings;
    store();
    showRows();
}

void ShoppingWindow::removeDish()
{
    const int row = m_dishList->currentRow();
    if (row < 0)
        return;
    m_rows.removeAt(row);
    store();
    showRows();
}

void ShoppingWindow::clearList()
{
    m_rows.clear();
    store();
    showRows();
}

void ShoppingWindow::copyList() { QGuiApplication::clipboard()->setText(m_text); }

void ShoppingWindow::printList()
{
    TableKit::printText(this, QStringLiteral("购物清单"), m_text.section(QLatin1Char('\n'), 1), false);
}

void ShoppingWindow::saveList()
{
    const QString path = DialogService::instance().saveExport(this, DialogService::TextFile, QStringLiteral("购物清单.txt"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_text.toUtf8()) < 0 || !file.commit())
        tell(this, QStringLiteral("保存失败：") + QDir::toNativeSeparators(path) + QStringLiteral(" 写不进去。"));
}

// The cook's own copies of the tables, made from the shipped ones the first
// time, beside cate.mdb; read instead of the shipped ones from then on.
void ShoppingWindow::openSynonyms()
{
    QStringList paths;
    for (const QString &file : {Ingredients::SynonymsFile, Ingredients::StallsFile}) {
        const QString path = m_catalogue.dataFolder() + file;
        QFile own(path);
        if (!own.exists() && own.open(QIODevice::WriteOnly))
            own.write(Ingredients::shippedTable(file).toUtf8());
        paths << QDir::toNativeSeparators(path);
    }
    tell(this, QStringLiteral("同义词表和摊位表在这里，用记事本打开改好后，重新打开购物清单就会用上：\n")
                   + paths.join(QLatin1Char('\n')));
}

// Delete in the dishes removes the selected one.
bool ShoppingWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_dishList && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        removeDish();
        return true;
    }
    return FramedWindow::eventFilter(watched, event);
}

} // namespace zx
