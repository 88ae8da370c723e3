#include "skin/focusorder.h"
#include "skin/imagecontrol.h"

#include <QList>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace FocusOrder {
namespace {

bool isTabStop(QWidget *w, QWidget *window)
{
    return w != window && w->window() == window && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

bool isPictureButton(QWidget *w)
{
    auto *control = qobject_cast<ImageControl *>(w);
    return control && control->isButton() && (control->focusPolicy() & Qt::TabFocus);
}

// The design place: the middle of the control's height, then its left edge.
std::pair<int, int> place(QWidget *w, QWidget *window)
{
    const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
    return {r.top() + r.height() / 2, r.left()};
}

// The tab stops of the window in their present Tab order.
QList<QWidget *> tabChain(QWidget *window)
{
    QList<QWidget *> chain;
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (isTabStop(w, window) && !chain.contains(w))
            chain << w;
    }
    return chain;
}

} // namespace

void placePictureButtons(QWidget *window)
{
    const QList<QWidget *> chain = tabChain(window);
    QList<QWidget *> buttons;
    QList<QWidget *> order;
    for (QWidget *w : chain)
        (isPictureButton(w) ? buttons : order) << w;
    if (buttons.isEmpty())
        return;
    // The control that takes the focus when the window first comes to the
    // front stays the one it was before the buttons became tab stops.
    if (!window->focusWidget()) {
        for (QWidget *w : order) {
            if (w->isVisibleTo(window) && w->isEnabled()) {
                w->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    std::stable_sort(buttons.begin(), buttons.end(),
                     [window](QWidget *a, QWidget *b) { return place(a, window) < place(b, window); });
    for (QWidget *button : buttons) {
        const auto at = place(button, window);
        qsizetype after = -1;
        for (qsizetype i = 0; i < order.size(); ++i) {
            const auto p = place(order[i], window);
            if (p < at && (after < 0 || p >= place(order[after], window)))
                after = i;
        }
        order.insert(after + 1, button);
    }
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace FocusOrder
