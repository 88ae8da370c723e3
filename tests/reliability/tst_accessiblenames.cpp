// Every control the cook can operate carries an accessible name (its caption
// or its role), so screen readers and UI automation can find it.
#include "reliability.h"

#include "skin/imagecontrol.h"

#include <QAbstractButton>
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

// The controls of the five working windows that `pick` selects and that
// have no accessible name, as "window/control".
template <class Pick>
QStringList unnamed(Pick pick)
{
    QStringList out;
    const QList<QWidget *> windows = {Windows::show<frmmain>(testCatalogue()), Windows::show<Add>(testCatalogue()), Windows::show<addmulu>(testCatalogue()),
                                      Windows::show<FindWindow>(testCatalogue()), Windows::show<daycate>(testCatalogue())};
    for (QWidget *window : windows) {
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (pick(w) && w->isVisibleTo(window) && w->accessibleName().trimmed().isEmpty())
                out << QStringLiteral("%1/%2").arg(window->objectName(), w->objectName());
        }
    }
    return out;
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
        frmmain *main = Windows::show<frmmain>(testCatalogue());
        QStringList toolbar;
        for (const char *name : {"Image2", "Image3", "Image4", "Image11", "Image5", "Image6", "Image7"})
            toolbar << child(main, name)->accessibleName();
        QCOMPARE(toolbar, (QStringList{QStringLiteral("每日菜谱"), QStringLiteral("添加美食"), QStringLiteral("查询/修改"),
                                       QStringLiteral("菜谱分类"), QStringLiteral("网上升级"), QStringLiteral("关于软件"),
                                       QStringLiteral("离开小屋")}));
        QCOMPARE(child(Windows::show<Add>(testCatalogue()), "addcp")->accessibleName(), QStringLiteral("添加"));
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
};

QTEST_MAIN(AccessibleNames)
#include "tst_accessiblenames.moc"
