#include "skin/imagecontrol.h"
#include "skin/twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

ImageControl::ImageControl(QWidget *parent, const QString &name) : QWidget(parent)
{
    if (!name.isEmpty())
        setObjectName(name);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void ImageControl::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void ImageControl::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
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
    if (m_picture.isNull())
        return;
    QPainter p(this);
    if (m_stretch) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(rect(), m_picture);
    } else {
        p.drawPixmap(0, 0, m_picture);
    }
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
    QPixmap picture(resource);
    button->setPicture(picture);
    button->setCursor(Qt::PointingHandCursor);
    button->setAccessibleName(caption);
    button->setToolTip(QString());
    const QSize own = picture.isNull() ? QSize(Twips::px(width), Twips::px(height)) : picture.size();
    button->setGeometry(Twips::px(left), Twips::px(top), width > 0 ? Twips::px(width) : own.width(),
                        height > 0 ? Twips::px(height) : own.height());
    if (width > 0 && height > 0)
        button->setStretch(true);
    return button;
}
