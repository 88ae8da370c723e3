#pragma once
// Each window exists at most once: created and loaded on first reference,
// forgotten when unloaded, so a later reference loads it anew.
#include <QPointer>
#include <QWidget>
#include <utility>

namespace Windows {

// Unloads any window: it disappears at once and is freed when control
// returns to the event loop (so a window may unload itself from one of its
// own handlers). The registry forgets it at once.
void unloadWindow(QWidget *window);
bool isUnloaded(const QWidget *window);

template <class W>
QPointer<W> &slot()
{
    static QPointer<W> window;
    return window;
}

// The loaded window, or nullptr.
template <class W>
W *loaded()
{
    W *w = slot<W>().data();
    return (w && !isUnloaded(w)) ? w : nullptr;
}

// The window, creating (loading) it first if needed with `args` (what the
// window is handed: the catalogue, for most). A window with a loadContents()
// has it run once it is registered.
template <class W, class... Args>
W *get(Args &&...args)
{
    if (!loaded<W>()) {
        W *w = new W(std::forward<Args>(args)...);
        slot<W>() = w;
        if constexpr (requires(W *x) { x->loadContents(); })
            w->loadContents();
    }
    return slot<W>().data();
}

// Creates the window if needed and shows it, modeless, in front, in the
// state it has (a maximised window stays maximised, a minimised one is
// restored to it).
template <class W, class... Args>
W *show(Args &&...args)
{
    W *w = get<W>(std::forward<Args>(args)...);
    if (w->isMinimized())
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

// Unloading a window that is not loaded does nothing.
template <class W>
void unload()
{
    if (W *w = loaded<W>())
        unloadWindow(w);
}

} // namespace Windows
