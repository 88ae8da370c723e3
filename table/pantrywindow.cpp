#include "table/pantrywindow.h"

#include "core/background.h"
#include "core/catalogue.h"
#include "core/dialogs.h"
#include "table/tablekit.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace zx {

namespace {
constexpr int Shown = 200;   // dishes listed at most
const char *const NothingTyped = "请先写下您有的食材。";
}

PantryWindow::PantryWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("pantry"), QStringLiteral("：：我有什么：："), Skin::CloseOnly, 8400, 7050, 0),
      m_catalogue(catalogue)
{
    buildControls();
    m_have->setText(m_catalogue.plans().notes.value(TableKit::HaveNote));
    m_staples->addItems(TableKit::staples(m_catalogue));
    m_saveHave.setSingleShot(true);
    m_saveHave.setInterval(600);
    connect(&m_saveHave, &QTimer::timeout, this, [this] {
        static_cast<void>(m_catalogue.setPlanNote(TableKit::HaveNote, m_have->text().trimmed()));
    });
    connect(m_have, &QLineEdit::textEdited, this, [this] {
        rank();
        m_saveHave.start();
    });
    connect(&m_building, &QFutureWatcher<PantryIndex>::finished, this, [this] {
        m_index = m_building.result();
        m_indexReady = true;
        if (std::exchange(m_indexStale, false))
            rebuildIndex();
        rank();
    });
    connect(&m_catalogue, &Catalogue::refreshed, this, &PantryWindow::rebuildIndex);
    rebuildIndex();
    rank();
    centreOnScreen();
    m_have->setFocus();
}

PantryWindow::~PantryWindow()
{
    if (m_saveHave.isActive())
        static_cast<void>(m_catalogue.setPlanNote(TableKit::HaveNote, m_have->text().trimmed()));
    m_building.waitForFinished();
}

void PantryWindow::buildControls()
{
    const Form::Controls make(this);
    make.label(QStringLiteral("haveLabel"), QStringLiteral("我有："), {300, 720});
    m_have = make.lineBox(QStringLiteral("haveBox"), QStringLiteral("我有"), {1050, 660, 4650, 330});
    make.label(QStringLiteral("resultsLabel"), QStringLiteral("可以做的菜："), {300, 1170});
    m_results = make.listBox(QStringLiteral("resultsList"), QStringLiteral("可以做的菜"), {300, 1440, 5400, 4500});
    m_hint = make.label(QStringLiteral("hintLabel"), QString(), {300, 6060, 5400, 300});
    ImageControl *missing = make.pictureButton(QStringLiteral("missingToList"), QStringLiteral("缺的加入购物清单"),
                                               QStringLiteral(":/buttons/missing_to_list.png"), {300, 6420, 0, 0});
    make.label(QStringLiteral("staplesLabel"), QStringLiteral("常备调料："), {5970, 720});
    m_staples = make.listBox(QStringLiteral("staplesList"), QStringLiteral("常备调料"), {5970, 1020, 2130, 3780});
    m_stapleBox = make.lineBox(QStringLiteral("stapleBox"), QStringLiteral("要加的常备调料"), {5970, 4920, 2130, 330});
    ImageControl *keep = make.pictureButton(QStringLiteral("addStaple"), QStringLiteral("加 入"),
                                            QStringLiteral(":/buttons/keep.png"), {6330, 5400, 0, 0});
    ImageControl *drop = make.pictureButton(QStringLiteral("removeStaple"), QStringLiteral("去 掉"),
                                            QStringLiteral(":/buttons/drop.png"), {6330, 5970, 0, 0});
    connect(m_have, &QLineEdit::returnPressed, this, &PantryWindow::rank);
    connect(m_results, &QListWidget::itemActivated, this, &PantryWindow::showSelected);
    connect(missing, &ImageControl::clicked, this, &PantryWindow::addMissing);
    connect(keep, &ImageControl::clicked, this, &PantryWindow::addStaple);
    connect(m_stapleBox, &QLineEdit::returnPressed, this, &PantryWindow::addStaple);
    connect(drop, &ImageControl::clicked, this, &PantryWindow::removeStaple);
    m_staples->installEventFilter(this);
}

// Every dish's ingredients read anew, off the window's thread.
void PantryWindow::rebuildIndex()
{
    if (m_building.isRunning()) {
        m_indexStale = true;
        return;
    }
    StoreResult<ExportRows> rows = m_catalogue.everything();
    if (!rows) {
        m_hint->setText(rows.error().userText());
        return;
    }
    m_indexReady = false;
    m_hint->setText(QStringLiteral("正在读各道菜的原料……"));
    m_building.setFuture(Background::start(
        [dishes = std::move(rows.value().dishes), synonyms = TableKit::tables(this, m_catalogue).synonyms] {
            return PantryIndex::build(dishes, synonyms);
        }));
}

void PantryWindow::rank()
{
    m_results->clear();
    const QStringList have = Ingredients::splitList(m_have->text());
    if (have.isEmpty()) {
        m_hint->setText(QString::fromUtf8(NothingTyped));
        return;
    }
    if (!m_indexReady)
        return;   // the list comes when the index is made
    QStringList staples;
    for (int i = 0; i < m_staples->count(); ++i)
        staples << m_staples->item(i)->text();
    const QList<PantryIndex::Match> matches = m_index.rank(have, staples, Shown);
    for (const PantryIndex::Match &match : matches) {
        auto *item = new QListWidgetItem(m_index.text(match), m_results);
        item->setData(Qt::UserRole, m_index.dishes()[size_t(match.dish)].id);
        item->setData(Qt::UserRole + 1, m_index.dishes()[size_t(match.dish)].name);
    }
    if (m_results->count() > 0)
        m_results->setCurrentRow(0);
    m_hint->setText(matches.isEmpty() ? QStringLiteral("没有用得上这些食材的菜。")
                                      : QStringLiteral("共 %1 道菜用得上。").arg(matches.size()));
}

void PantryWindow::showSelected()
{
    if (QListWidgetItem *item = m_results->currentItem())
        m_catalogue.showDish(item->data(Qt::UserRole).toLongLong());
}

void PantryWindow::addMissing()
{
    QListWidgetItem *item = m_results->currentItem();
    if (!item) {
        tell(this, QStringLiteral("请先在列表里选一道菜。"));
        return;
    }
    // The list leaves out what is at hand as typed now.
    if (m_saveHave.isActive()) {
        m_saveHave.stop();
        static_cast<void>(m_catalogue.setPlanNote(TableKit::HaveNote, m_have->text().trimmed()));
    }
    const qint64 id = item->data(Qt::UserRole).toLongLong();
    const PlanRow row{TableKit::OnlyMissing, id, item->data(Qt::UserRole + 1).toString(),
                      TableKit::writtenServings(m_catalogue, id)};
    if (TableKit::addToShoppingList(this, m_catalogue, {row}))
        m_hint->setText(QStringLiteral("“%1”缺的食材已加入购物清单。").arg(row.name));
}

void PantryWindow::addStaple()
{
    const QStringList names = Ingredients::splitList(m_stapleBox->text());
    for (const QString &name : names) {
        if (m_staples->findItems(name, Qt::MatchExactly).isEmpty())
            m_staples->addItem(name);
    }
    m_stapleBox->clear();
    saveStaples();
}

void PantryWindow::removeStaple()
{
    delete m_staples->currentItem();
    saveStaples();
}

void PantryWindow::saveStaples()
{
    QStringList names;
    for (int i = 0; i < m_staples->count(); ++i)
        names << m_staples->item(i)->text();
    // A blank, not nothing, when every staple is gone: the defaults stay away.
    const QString kept = names.isEmpty() ? QStringLiteral(" ") : names.join(QLatin1Char(' '));
    const StoreStatus saved = m_catalogue.setPlanNote(TableKit::StaplesNote, kept);
    if (!saved)
        tell(this, QStringLiteral("保存常备调料失败：") + saved.error().userText());
    rank();
}

// Delete in the staples list takes the selected one away.
bool PantryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_staples && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        removeStaple();
        return true;
    }
    return FramedWindow::eventFilter(watched, event);
}

} // namespace zx
