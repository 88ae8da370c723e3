#include "web/linklabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionFocusRect>

namespace {

class AccessibleLink final : public QAccessibleWidget {
public:
    explicit AccessibleLink(LinkLabel *link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<LinkLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString &name) override
    {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        // From the event loop, as a click: the caller is not kept waiting.
        QPointer<LinkLabel> link(static_cast<LinkLabel *>(widget()));
        QMetaObject::invokeMethod(
            link,
            [link] {
                if (link)
                    emit link->clicked();
            },
            Qt::QueuedConnection);
    }
};

QAccessibleInterface *linkFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("LinkLabel"))
        return nullptr;
    if (auto *link = qobject_cast<LinkLabel *>(object))
        return new AccessibleLink(link);
    return nullptr;
}

} // namespace

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(linkFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !event->isAutoRepeat()) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Where the keyboard is: the style's focus frame around the text.
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    const QRect textArea = fontMetrics().boundingRect(contentsRect(), int(alignment()), text());
    option.rect = contentsRect().intersected(textArea.adjusted(-1, 0, 1, 0));
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
