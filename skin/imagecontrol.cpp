#include "skin/imagecontrol.h"
#include "skin/accessiblebutton.h"
#include "skin/artwork.h"
#include "skin/twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {
// The focus mark: a dotted rounded outline in the frame's caption blue.
const QColor FocusMarkColour(31, 96, 169);
} // namespace

ImageControl::ImageControl(QWidget *parent, const QString &name) : QWidget(parent)
{
    if (!name.isEmpty())
        setObjectName(name);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    installAccessibleButtons();
}

void ImageControl::setButton(bool tabStop)
{
    m_button = true;
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void ImageControl::press()
{
    const QPoint middle = rect().center();
    QPointer<ImageControl> self(this);
    emit mouseDown(Qt::LeftButton, middle);
    if (self)
        emit mouseUp(Qt::LeftButton, middle);
    if (self)
        emit clicked();
}

void ImageControl::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    m_fitted = QPixmap();
    update();
}

void ImageControl::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void ImageControl::setFit(bool fit)
{
    m_fit = fit;
    m_fitted = QPixmap();
    update();
}

QRect ImageControl::pictureArea() const
{
    if (m_picture.isNull())
        return QRect();
    if (m_fit)
        return fittedRect(m_picture.deviceIndependentSize().toSize(), rect());
    if (m_stretch)
        return rect();
    return QRect(QPoint(0, 0), m_picture.deviceIndependentSize().toSize()).intersected(rect());
}

QRect fittedRect(const QSize &picture, const QRect &frame)
{
    if (picture.isEmpty() || frame.isEmpty())
        return QRect();
    const QSize size = picture.scaled(frame.size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return QRect(frame.x() + (frame.width() - size.width()) / 2, frame.y() + (frame.height() - size.height()) / 2,
                 size.width(), size.height());
}

QPixmap fittedPicture(const QPixmap &picture, const QSize &box, qreal ratio)
{
    const QRect area = fittedRect(picture.deviceIndependentSize().toSize(), QRect(QPoint(0, 0), box));
    if (area.isEmpty())
        return QPixmap();
    // Scaled once, at the screen's pixels: a strip 10,000 pixels long is
    // not scaled again at every paint.
    QPixmap fitted = picture.scaled(area.size() * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fitted.setDevicePixelRatio(ratio);
    return fitted;
}

bool ImageControl::setLeftTw(double left)
{
    move(Twips::px(left), y());
    return true;
}

bool ImageControl::setTopTw(double top)
{
    move(x(), Twips::px(top));
    return true;
}

bool ImageControl::setWidthTw(double width)
{
    if (width < 0)
        return false;
    resize(Twips::px(width), height());
    return true;
}

bool ImageControl::setHeightTw(double height)
{
    if (height < 0)
        return false;
    resize(width(), Twips::px(height));
    return true;
}

double ImageControl::leftTw() const { return Twips::fromPx(x()); }
double ImageControl::topTw() const { return Twips::fromPx(y()); }
double ImageControl::widthTw() const { return Twips::fromPx(width()); }
double ImageControl::heightTw() const { return Twips::fromPx(height()); }

void ImageControl::paintEvent(QPaintEvent *)
{
    const bool mark = showsFocusMark();
    if (m_picture.isNull() && !mark)
        return;
    QPainter p(this);
    if (!m_picture.isNull()) {
        if (m_fit) {
            const QRect area = pictureArea();
            const qreal ratio = devicePixelRatioF();
            if (m_fitted.isNull() || m_fitted.size() != area.size() * ratio || m_fitted.devicePixelRatio() != ratio)
                m_fitted = fittedPicture(m_picture, size(), ratio);
            p.drawPixmap(area.topLeft(), m_fitted);
        } else if (m_stretch) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawPixmap(rect(), m_picture);
        } else {
            p.drawPixmap(0, 0, m_picture);
        }
    }
    if (mark)
        paintFocusMark(p);
}

void ImageControl::paintFocusMark(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(FocusMarkColour, 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // Inside the rounded body of a captioned button (three pixels in from
    // its outline, which stops a pixel short of the bottom); round the edge
    // of a toolbar picture.
    const bool body = width() > height() * 2;
    const QRect box = body ? rect().adjusted(3, 3, -4, -5) : rect().adjusted(0, 0, -1, -1);
    p.drawRoundedRect(box, 4, 4);
}

void ImageControl::setKeyboardFocus(bool on)
{
    if (m_keyboardFocus == on)
        return;
    m_keyboardFocus = on;
    update();
}

void ImageControl::focusInEvent(QFocusEvent *event)
{
    // The mark shows for focus that came from the keyboard, and again when
    // the window comes back to the front with such focus; a focus given any
    // other way shows none until a key is pressed.
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        setKeyboardFocus(true);
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        break;
    default:
        setKeyboardFocus(false);
        break;
    }
    QWidget::focusInEvent(event);
    update();
}

void ImageControl::focusOutEvent(QFocusEvent *event)
{
    if (m_spaceDown) {
        // Focus lost with Space held: let go without pressing.
        m_spaceDown = false;
        emit mouseUp(Qt::LeftButton, rect().center());
    }
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_keyboardFocus = false;
    QWidget::focusOutEvent(event);
    update();
}

void ImageControl::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool pressKey = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!m_button || !pressKey || (event->modifiers() & ~Qt::KeypadModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    setKeyboardFocus(true);
    if (key == Qt::Key_Space) {
        // Down while Space is held, pressed when it is let go.
        m_spaceDown = true;
        emit mouseDown(Qt::LeftButton, rect().center());
    } else {
        press();
    }
}

void ImageControl::keyReleaseEvent(QKeyEvent *event)
{
    if (!m_button || event->key() != Qt::Key_Space || !m_spaceDown) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    m_spaceDown = false;
    const QPoint middle = rect().center();
    QPointer<ImageControl> self(this);
    emit mouseUp(Qt::LeftButton, middle);
    if (self)
        emit clicked();
}

void ImageControl::mousePressEvent(QMouseEvent *event)
{
    m_pressedInside = event->button() == Qt::LeftButton;
    emit mouseDown(event->button(), event->position().toPoint());
}

void ImageControl::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->buttons(), event->position().toPoint());
}

void ImageControl::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressedInside && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    m_pressedInside = false;
    QPointer<ImageControl> self(this);
    emit mouseUp(event->button(), event->position().toPoint());
    if (click && self)
        emit clicked();
}

void ensureAssetResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(assets);
        Q_INIT_RESOURCE(rawart);
        return true;
    }();
    (void)registered;
}

ImageControl *makePictureButton(QWidget *parent, const QString &objectName, const QString &caption,
                                const QString &resource, double left, double top, double width,
                                double height)
{
    ensureAssetResources();
    auto *button = new ImageControl(parent, objectName);
    const QPixmap picture = Artwork::pixmap(resource);
    button->setPicture(picture);
    button->setCursor(Qt::PointingHandCursor);
    button->setButton(true);
    button->setAccessibleName(caption);
    button->setToolTip(QString());
    const QSize own = picture.isNull() ? QSize(Twips::px(width), Twips::px(height))
                                       : picture.deviceIndependentSize().toSize();
    button->setGeometry(Twips::px(left), Twips::px(top), width > 0 ? Twips::px(width) : own.width(),
                        height > 0 ? Twips::px(height) : own.height());
    if (width > 0 && height > 0)
        button->setStretch(true);
    return button;
}
