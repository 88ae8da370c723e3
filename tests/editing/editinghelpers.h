#pragma once
// Shared steps of the editing window tests: clicking list entries and
// picture buttons the way the cook does, and closing every window between
// tests.
#include "app/frmmain.h"
#include "core/registry.h"
#include "editing/add.h"
#include "editing/addmulu.h"

#include <QCoreApplication>
#include <QListWidget>
#include "widgetsteps.h"
#include <QTest>
#include <sqlite3.h>

using namespace zx;


inline void press(QWidget *pictureButton) { QTest::mouseClick(pictureButton, Qt::LeftButton); }

inline void unloadEverything()
{
    Windows::unload<Add>();
    Windows::unload<addmulu>();
    Windows::unload<frmmain>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Another program holding cate.mdb with an exclusive lock while it lives.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const QString &path)
    {
        sqlite3_open(path.toUtf8().constData(), &m_db);
        m_ok = sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ExclusiveLock()
    {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    bool ok() const { return m_ok; }

private:
    sqlite3 *m_db = nullptr;
    bool m_ok = false;
};

inline QString mainCaption()
{
    frmmain *main = Windows::loaded<frmmain>();
    return main ? main->windowTitle() : QString();
}

inline QString countCaption(int n)
{
    return QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(n);
}
