#include "skin/framedwindow.h"
#include "skin/imagecontrol.h"
#include "skin/twips.h"
#include "app/registry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

FramedWindow::FramedWindow(const QString &objectName, const QString &caption, Skin skin,
                           double designWidthTw, double designHeightTw, double pbottomLeftTw,
                           QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_skin(skin)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setMouseTracking(true);
    resize(Twips::px(designWidthTw), Twips::px(designHeightTw));
    buildFrameControls(pbottomLeftTw);
}

FramedWindow::~FramedWindow() = default;

void FramedWindow::place(QWidget *control, double left, double top, double width, double height)
{
    control->setGeometry(Twips::rect(left, top, width, height));
}

void FramedWindow::centreOnScreen()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect s = screen->geometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
}

void FramedWindow::buildFrameControls(double pbottomLeftTw)
{
    m_IMBar = new ImageControl(this, QStringLiteral("IMBar"));
    m_IMBar->setGeometry(0, 0, Twips::px(1100), Twips::px(255));
    m_Imico = new ImageControl(this, QStringLiteral("Imico"));
    m_Imico->hide();
    m_Immin = new ImageControl(this, QStringLiteral("Immin"));
    m_Immin->setToolTip(QStringLiteral("最小化"));
    m_Immax = new ImageControl(this, QStringLiteral("Immax"));
    m_Immax->setToolTip(QStringLiteral("最大化"));
    m_Imclose = new ImageControl(this, QStringLiteral("Imclose"));
    m_Imclose->setToolTip(QStringLiteral("关闭"));
    for (ImageControl *b : {m_Immin, m_Immax, m_Imclose})
        b->resize(Twips::size(255, 240));
    m_Pbottom = new ImageControl(this, QStringLiteral("Pbottom"));
    m_Pbottom->setGeometry(Twips::px(pbottomLeftTw), 0, 0, Twips::px(195));
    m_Pright = new ImageControl(this, QStringLiteral("Pright"));
    m_Pright->setGeometry(0, Twips::px(-240), Twips::px(135), 0);
    m_Pjiao = new ImageControl(this, QStringLiteral("Pjiao"));
    m_Pjiao->resize(Twips::size(255, 255));
    connect(m_Imclose, &ImageControl::clicked, this, &FramedWindow::closeFromFrame);
}

ImageControl *FramedWindow::stateControl(const char *name) const
{
    return findChild<ImageControl *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QRegion FramedWindow::frameRegion(double widthTw, double heightTw)
{
    return QRegion(0, 0, Twips::px(widthTw), Twips::px(heightTw));
}

void FramedWindow::closeFromFrame() { Windows::unloadWindow(this); }

void FramedWindow::frameSizeChanged()
{
    m_surface = QImage(size(), QImage::Format_RGB32);
    m_surface.fill(QColor(250, 250, 250));
    RMe();
    update();
}

void FramedWindow::RMe() {}

void FramedWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    frameSizeChanged();
}

void FramedWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_surface);
}

void FramedWindow::mouseMoveEvent(QMouseEvent *event) { QWidget::mouseMoveEvent(event); }

void FramedWindow::changeEvent(QEvent *event) { QWidget::changeEvent(event); }

void FramedWindow::closeEvent(QCloseEvent *event)
{
    // A close from outside (the window manager) does what the close button does.
    event->ignore();
    closeFromFrame();
}

void FramedWindow::wireCaptionButtons() {}
