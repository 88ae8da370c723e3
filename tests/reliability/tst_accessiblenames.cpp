// Every control the cook can operate carries an accessible name (its caption
// or its role), so screen readers and UI automation can find it; every
// picture button is a push button for them and a Tab stop for the keyboard.
#include "reliability.h"

#include "skin/imagecontrol.h"
#include "table/pantrywindow.h"
#include "table/shoppingwindow.h"
#include "table/weekwindow.h"
#include "web/downloadwindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QRegularExpression>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace zx;

using namespace Rel;

namespace {

bool isPictureButton(QWidget *w)
{
    return qobject_cast<ImageControl *>(w) && w->cursor().shape() == Qt::PointingHandCursor;
}

bool isOtherControl(QWidget *w)
{
    return !qobject_cast<ImageControl *>(w)
           && (qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractItemView *>(w) || qobject_cast<QAbstractButton *>(w)
               || (qobject_cast<QAbstractScrollArea *>(w) && w->focusPolicy() != Qt::NoFocus));
}

// The controls of the eight working windows that `pick` selects and that
// have no accessible name, as "window/control".
template <class Pick>
QStringList unnamed(Pick pick)
{
    QStringList out;
    const QList<QWidget *> windows = {Windows::show<MainWindow>(testCatalogue()), Windows::show<AddDishWindow>(testCatalogue()), Windows::show<CategoryWindow>(testCatalogue()),
                                      Windows::show<FindWindow>(testCatalogue()), Windows::show<DailyDishWindow>(testCatalogue()),
                                      Windows::show<PantryWindow>(testCatalogue()), Windows::show<WeekWindow>(testCatalogue()),
                                      Windows::show<ShoppingWindow>(testCatalogue())};
    for (QWidget *window : windows) {
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (pick(w) && w->isVisibleTo(window) && w->accessibleName().trimmed().isEmpty())
                out << QStringLiteral("%1/%2").arg(window->objectName(), w->objectName());
        }
    }
    return out;
}

// The controls the focus visits, Tab after Tab (Shift+Tab when backwards),
// from the window's focus (the first) until it comes round or a control
// keeps the key.
QList<QWidget *> tabWalk(bool forward)
{
    QWidget *const start = QApplication::focusWidget();
    QList<QWidget *> visited = {start};
    QWidget *at = start;
    for (int i = 0; at && i < 80; ++i) {
        QTest::keyClick(at, Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
        QWidget *next = QApplication::focusWidget();
        if (!next || next == at || next == start)
            break;
        visited << next;
        at = next;
    }
    return visited;
}

// A control's design place in its window: the middle of its height, then
// its left edge (top to bottom, left to right).
std::pair<int, int> designPlace(QWidget *w)
{
    const QRect r(w->mapTo(w->window(), QPoint()), w->size());
    return {r.center().y(), r.left()};
}

// Whether every step of `walk` to or from a picture button goes on in design
// order (backwards for a Shift+Tab walk), coming round at most once.
bool buttonsFollowDesignOrder(const QList<QWidget *> &walk, const QList<QWidget *> &buttons, bool forward)
{
    int turns = 0;
    for (qsizetype i = 1; i < walk.size(); ++i) {
        if (!buttons.contains(walk[i - 1]) && !buttons.contains(walk[i]))
            continue;
        const auto a = designPlace(walk[i - 1]), b = designPlace(walk[i]);
        turns += forward ? b < a : a < b;
    }
    return turns <= 1;
}

// A push button for assistive technology, named, focusable when asked, with
// the press action.
QString notAnAccessibleButton(QWidget *w, bool focusable)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
    if (!a || a->role() != QAccessible::Button)
        return QStringLiteral("role");
    if (a->text(QAccessible::Name) != w->accessibleName() || w->accessibleName().isEmpty())
        return QStringLiteral("name");
    if (bool(a->state().focusable) != focusable)
        return QStringLiteral("focusable");
    if (!a->actionInterface() || !a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()))
        return QStringLiteral("press action");
    return QString();
}

} // namespace

class AccessibleNames : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAll(); }

    // A picture button is named by the caption its picture shows.
    void pictureButtonsCarryTheirCaption()
    {
        TestDb db;
        ScriptedDialogs dialogs;
        const QStringList gaps = unnamed(isPictureButton);
        QVERIFY2(gaps.isEmpty(), qPrintable(gaps.join(QLatin1Char(' '))));
        MainWindow *main = Windows::show<MainWindow>(testCatalogue());
        QStringList toolbar;
        for (const char *name : {"Image2", "Image3", "Image4", "Image11", "Image5", "Image6", "Image7"})
            toolbar << child(main, name)->accessibleName();
        QCOMPARE(toolbar, (QStringList{QStringLiteral("每日菜谱"), QStringLiteral("添加美食"), QStringLiteral("查询/修改"),
                                       QStringLiteral("菜谱分类"), QStringLiteral("网上升级"), QStringLiteral("关于软件"),
                                       QStringLiteral("离开小屋")}));
        QCOMPARE(child(Windows::show<AddDishWindow>(testCatalogue()), "addcp")->accessibleName(), QStringLiteral("添加"));
        QCOMPARE(child(Windows::show<FindWindow>(testCatalogue()), "Image3")->accessibleName(), QStringLiteral("更 新"));
    }

    // Text boxes, lists and the tree: named by their label or role.
    void otherControlsAreNamed()
    {
        TestDb db;
        ScriptedDialogs dialogs;
        const QStringList gaps = unnamed(isOtherControl);
        QVERIFY2(gaps.isEmpty(), qPrintable(gaps.join(QLatin1Char(' '))));
    }

    // In every framed window with picture buttons (all but the about and
    // upgrade windows) each picture button is a push button for
    // screen readers and a Tab stop the mouse never focuses, reached by Tab
    // or Shift+Tab from where the window's focus starts, in design order
    // (top to bottom, left to right); the caption buttons are push buttons.
    void pictureButtonsAreTabStopsInDesignOrder()
    {
        TestDb db;
        ScriptedDialogs dialogs;
        Catalogue &c = testCatalogue();
        const QList<FramedWindow *> windows = {Windows::show<MainWindow>(c), Windows::show<AddDishWindow>(c),
                                               Windows::show<CategoryWindow>(c), Windows::show<FindWindow>(c),
                                               Windows::show<DailyDishWindow>(c), Windows::show<DownloadWindow>()};
        for (FramedWindow *window : windows) {
            const QString name = window->objectName();
            window->activateWindow();
            QVERIFY2(QTest::qWaitForWindowActive(window), qPrintable(name));
            QList<QWidget *> buttons;
            for (ImageControl *c : window->findChildren<ImageControl *>())
                if (isPictureButton(c) && c->isVisibleTo(window))
                    buttons << c;
            QVERIFY2(!buttons.isEmpty(), qPrintable(name));
            for (QWidget *b : buttons) {
                const QString where = name + QLatin1Char('/') + b->objectName();
                QVERIFY2(b->focusPolicy() == Qt::TabFocus, qPrintable(where));
                const QString gap = notAnAccessibleButton(b, true);
                QVERIFY2(gap.isEmpty(), qPrintable(where + QStringLiteral(": ") + gap));
            }
            for (QWidget *b : {static_cast<QWidget *>(window->minimizeButton()), static_cast<QWidget *>(window->maximizeButton()),
                               static_cast<QWidget *>(window->closeButton())}) {
                const QString gap = notAnAccessibleButton(b, false);
                QVERIFY2(gap.isEmpty(), qPrintable(name + QLatin1Char('/') + b->objectName() + QStringLiteral(": ") + gap));
            }
            QCOMPARE(window->closeButton()->accessibleName(), QStringLiteral("关闭"));

            QWidget *const start = QApplication::focusWidget();
            const QList<QWidget *> forward = tabWalk(true);
            start->setFocus(Qt::OtherFocusReason);
            const QList<QWidget *> backward = tabWalk(false);
            if (name == QLatin1String("addmulu")) {
                // The category manager puts each button after what it works
                // on: the name, 新增分类, the list, 删除分类.
                QStringList order;
                for (QWidget *w : forward)
                    if (!order.contains(w->objectName()))
                        order << w->objectName();
                QCOMPARE(order.filter(QRegularExpression(QStringLiteral("^(Text1|Image1|List1|Image2)$"))),
                         (QStringList{"Text1", "Image1", "List1", "Image2"}));
            } else {
                QVERIFY2(buttonsFollowDesignOrder(forward, buttons, true), qPrintable(name));
                QVERIFY2(buttonsFollowDesignOrder(backward, buttons, false), qPrintable(name));
            }
            for (QWidget *b : buttons)
                QVERIFY2(forward.contains(b) || backward.contains(b), qPrintable(name + QLatin1Char('/') + b->objectName()));
        }
        Windows::unload<DownloadWindow>();
    }
};

QTEST_MAIN(AccessibleNames)
#include "tst_accessiblenames.moc"
