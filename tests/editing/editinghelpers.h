#pragma once
#include "support/otherprogram.h"
// Shared steps of the editing window tests: clicking list entries and
// picture buttons the way the cook does, and closing every window between
// tests.
#include "app/mainwindow.h"
#include "core/registry.h"
#include "editing/adddishwindow.h"
#include "editing/categorywindow.h"

#include <QCoreApplication>
#include <QListWidget>
#include "widgetsteps.h"
#include <QTest>
#include <sqlite3.h>

using namespace zx;


inline void press(QWidget *pictureButton) { QTest::mouseClick(pictureButton, Qt::LeftButton); }

inline void unloadEverything()
{
    Windows::unload<AddDishWindow>();
    Windows::unload<CategoryWindow>();
    Windows::unload<MainWindow>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Another program holding cate.mdb with an exclusive lock while it lives.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const QString &path) : m_other(path) { m_ok = m_other.lockExclusively(); }
    bool ok() const { return m_ok; }

private:
    OtherProgram m_other;
    bool m_ok = false;
};

inline QString mainCaption()
{
    MainWindow *main = Windows::loaded<MainWindow>();
    return main ? main->windowTitle() : QString();
}

inline QString countCaption(int n)
{
    return QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(n);
}
