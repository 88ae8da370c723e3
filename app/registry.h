#pragma once
// Each window exists at most once: created and loaded on first reference,
// forgotten when unloaded, so a later reference loads it anew.
#include <QPointer>
#include <QWidget>

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

// The window, creating (loading) it first if needed. A window with a
// Form_Load() has it run once it is registered, so its load may itself
// reach the window through the registry.
template <class W>
W *get()
{
    if (!loaded<W>()) {
        W *w = new W();
        slot<W>() = w;
        if constexpr (requires(W *x) { x->Form_Load(); })
            w->Form_Load();
    }
    return slot<W>().data();
}

// Creates the window if needed and shows it, modeless, in front.
template <class W>
W *show()
{
    W *w = get<W>();
    w->showNormal();
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
