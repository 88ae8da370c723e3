#include "skin/accessiblebutton.h"
#include "skin/imagecontrol.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

namespace {

class AccessibleImageControl final : public QAccessibleWidget {
public:
    explicit AccessibleImageControl(ImageControl *control) : QAccessibleWidget(control) {}

    ImageControl *control() const { return static_cast<ImageControl *>(widget()); }

    QAccessible::Role role() const override
    {
        return control()->isButton() ? QAccessible::Button : QAccessibleWidget::role();
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && control()->isButton() && control()->accessibleName().isEmpty())
            return control()->toolTip();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (control()->isButton() && control()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &name) override
    {
        if (name != pressAction() || !control()->isButton()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        if (!control()->isEnabled())
            return;
        // Pressed from the event loop, as a click would be: the handler may
        // open a modal message box, and the caller is not kept waiting.
        QPointer<ImageControl> target(control());
        QMetaObject::invokeMethod(
            target,
            [target] {
                if (target)
                    target->press();
            },
            Qt::QueuedConnection);
    }
};

QAccessibleInterface *imageControlFactory(const QString &className, QObject *object)
{
    // A skinned window is a frame to a screen reader, announced by its
    // caption (a plain widget window would be a nameless filler).
    if (className == QLatin1String("FramedWindow")) {
        auto *window = qobject_cast<QWidget *>(object);
        return window && window->isWindow() ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
    }
    if (className != QLatin1String("ImageControl"))
        return nullptr;
    if (auto *control = qobject_cast<ImageControl *>(object))
        return new AccessibleImageControl(control);
    return nullptr;
}

} // namespace

void installAccessibleButtons()
{
    static const bool installed = [] {
        QAccessible::installFactory(imageControlFactory);
        return true;
    }();
    (void)installed;
}
