#pragma once
// Shared steps of the reliability tests: every window driven through its
// real widgets, bad files made from a good one, and an immutable-file guard.
#include "support/scripteddialogs.h"
#include "support/testdb.h"

#include "app/cataloguemodel.h"
#include "app/mainwindow.h"
#include "core/appinfo.h"
#include "core/registry.h"
#include "editing/adddishwindow.h"
#include "editing/categorywindow.h"
#include "showing/dailydishwindow.h"
#include "search/findwindow.h"
#include "store/recipestore.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include "widgetsteps.h"
#include <QTextEdit>
#include <QProcess>
#include <QTest>
#include <QTreeView>

using namespace zx;

namespace Rel {

inline void closeAll()
{
    Windows::unload<AddDishWindow>();
    Windows::unload<CategoryWindow>();
    Windows::unload<FindWindow>();
    Windows::unload<DailyDishWindow>();
    Windows::unload<MainWindow>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class T = QWidget>
T *child(QWidget *window, const char *name)
{
    T *w = window->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s in %s", name, qPrintable(window->objectName()));
    return w;
}

inline void press(QWidget *window, const char *button)
{
    QTest::mouseClick(child(window, button), Qt::LeftButton);
}


// The tree as the cook sees it: "category" lines and "  dish" lines, in order.
inline QStringList treeLines(MainWindow *w)
{
    QStringList out;
    CatalogueModel *m = w->treeModel();
    const QModelIndex root = m->rootIndex();
    if (!root.isValid())
        return out;
    for (int c = 0; c < m->rowCount(root); ++c) {
        const QModelIndex cat = m->index(c, 0, root);
        out << cat.data().toString();
        for (int d = 0; d < m->rowCount(cat); ++d)
            out << QStringLiteral("  ") + m->index(d, 0, cat).data().toString();
    }
    return out;
}

inline int topLevelRows(MainWindow *w) { return w->treeModel()->rowCount(QModelIndex()); }


inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Marks a file or folder immutable (chattr +i) while it lives: even root
// cannot write it then. ok() is false where the file system has no such flag.
class Immutable {
public:
    explicit Immutable(const QString &path) : m_path(path)
    {
        m_ok = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~Immutable()
    {
        if (m_ok)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    }
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_ok = false;
};

} // namespace Rel
