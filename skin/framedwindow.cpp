#include "skin/framedwindow.h"

#include "core/dialogs.h"
#include "skin/region.h"
#include "core/fonts.h"
#include "skin/artwork.h"
#include "skin/focusorder.h"
#include "skin/imagecontrol.h"
#include "skin/twips.h"
#include "core/registry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {
// The skin's surround colour: never part of the window.
const QRgb SurroundRgb = qRgb(255, 0, 0);

// A caption button's hover and pressed pictures (":/skin/min_hover.png" and
// so on); at rest the frame's surface shows the button's glyph.
CaptionButton::Pictures captionPictures(const char *glyph)
{
    const QString stem = QStringLiteral(":/skin/") + QLatin1String(glyph);
    return {QPixmap(), Artwork::pixmap(stem + QStringLiteral("_hover.png")),
            Artwork::pixmap(stem + QStringLiteral("_pressed.png"))};
}

} // namespace

FramedWindow::FramedWindow(const QString &objectName, const QString &caption, Skin skin,
                           double designWidthTw, double designHeightTw, double bottomGripLeftTw,
                           QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_skin(skin)
{
    ensureAssetResources();
    setObjectName(objectName);
    setWindowTitle(caption);
    setMouseTracking(true);
    m_designSize = Twips::size(designWidthTw, designHeightTw);
    resize(m_designSize);
    buildFrameControls(bottomGripLeftTw);
    wireCaptionButtons();
    wireTitleBar();
    wireGrip(m_bottomGrip, GripEdge::Bottom);
    wireGrip(m_rightGrip, GripEdge::Right);
    wireGrip(m_cornerGrip, GripEdge::Corner);
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
    QPoint at(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
    // A window larger than the room the screen leaves it (a small screen, or
    // one drawn at twice the density) keeps its title strip and its left
    // edge within reach, inside the screen's available area.
    const QRect room = screen->availableGeometry();
    at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - width())));
    at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - height())));
    move(at);
}

QFont FramedWindow::captionFont()
{
    return songFont(9, true);
}

void FramedWindow::buildFrameControls(double bottomGripLeftTw)
{
    m_titleStrip = new ImageControl(this, QStringLiteral("IMBar"));
    m_titleStrip->setGeometry(0, 0, 0, Twips::px(255));

    const QPixmap icon = Artwork::pixmap(QStringLiteral(":/skin/icon.png"));
    if (!icon.isNull())
        setWindowIcon(QIcon(icon));
    m_icon = icon.toImage();

    // The caption buttons; the keyboard closes with Escape instead.
    m_minimizeButton = new CaptionButton(this, QStringLiteral("Immin"), QStringLiteral("最小化"));
    m_maximizeButton = new CaptionButton(this, QStringLiteral("Immax"), QStringLiteral("最大化"));
    m_closeButton = new CaptionButton(this, QStringLiteral("Imclose"), QStringLiteral("关闭"));
    for (CaptionButton *b : {m_minimizeButton, m_maximizeButton, m_closeButton})
        b->resize(Twips::size(255, 240));

    m_skinImage = Artwork::image(skinResource(), 1.0);

    m_bottomGrip = new ImageControl(this, QStringLiteral("Pbottom"));
    m_bottomGrip->setGeometry(Twips::px(bottomGripLeftTw), 0, 0, Twips::px(195));
    m_bottomGrip->setCursor(Qt::SizeVerCursor);
    m_rightGrip = new ImageControl(this, QStringLiteral("Pright"));
    m_rightGrip->setGeometry(0, Twips::px(-240), Twips::px(135), 0);
    m_rightGrip->setCursor(Qt::SizeHorCursor);
    m_cornerGrip = new ImageControl(this, QStringLiteral("Pjiao"));
    m_cornerGrip->resize(Twips::size(255, 255));
    m_cornerGrip->setCursor(Qt::SizeFDiagCursor);
}

QString FramedWindow::skinResource() const
{
    return m_skin == Skin::ThreeButton ? QStringLiteral(":/skin/three.png")
                                       : QStringLiteral(":/skin/closeonly.png");
}

// The skin picture drawn for this window's pixel density, with its red
// surround made transparent.
void FramedWindow::prepareSkinPaint(qreal ratio)
{
    m_skinPaint = Artwork::image(skinResource(), ratio).convertToFormat(QImage::Format_ARGB32);
    m_skinPaintRatio = ratio;
    for (int y = 0; y < m_skinPaint.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_skinPaint.scanLine(y));
        for (int x = 0; x < m_skinPaint.width(); ++x)
            if ((line[x] & 0xffffff) == (SurroundRgb & 0xffffff))
                line[x] = qRgba(0, 0, 0, 0);
    }
}

QRegion FramedWindow::frameRegion(double widthTw, double heightTw)
{
    return framedWindowShape(widthTw / Twips::PerPixel, heightTw / Twips::PerPixel);
}

void FramedWindow::closeFromFrame()
{
    if (mayDiscardInput())
        Windows::unloadWindow(this);
}

bool FramedWindow::mayDiscardInput() { return !hasPendingInput() || mayDiscardTyping(this); }

void FramedWindow::raiseFrameControls()
{
    const std::initializer_list<QWidget *> frameControls = {m_titleStrip,   m_minimizeButton,  m_maximizeButton, m_closeButton,
                                                            m_bottomGrip, m_rightGrip, m_cornerGrip};
    for (QWidget *c : frameControls)
        if (c)
            c->raise();
}

// The controls keep their design places, so a window smaller than its
// design would cut them off.
QSize FramedWindow::gripMinimumSize() const { return m_designSize; }

// At every change of size: lays the frame controls out, has the surface
// painted afresh and cuts the window region. A position or size that a
// control rejects is skipped and the next step still runs.
void FramedWindow::layOutFrame()
{
    if (!m_cornerGrip)
        return; // still being built
    const double W = Twips::fromPx(width());
    const double H = Twips::fromPx(height());

    m_titleStrip->setWidthTw(W - 1100);
    m_maximizeButton->setTopTw(120);
    m_maximizeButton->setLeftTw(W - 780);
    m_minimizeButton->setTopTw(120);
    m_minimizeButton->setLeftTw(W - 1095);
    m_closeButton->setTopTw(120);
    m_closeButton->setLeftTw(W - 465);
    m_bottomGrip->setTopTw(H - m_bottomGrip->heightTw());
    m_bottomGrip->setWidthTw(W - 240);
    m_rightGrip->setLeftTw(W - m_rightGrip->widthTw());
    m_rightGrip->setHeightTw(H - 240);
    m_cornerGrip->setLeftTw(W - m_cornerGrip->widthTw());
    m_cornerGrip->setTopTw(H - m_cornerGrip->heightTw());

    m_surfaceStale = true;
    applyFrameMask();
    raiseFrameControls();
    update();
}

const QImage &FramedWindow::surface()
{
    // Painted when first needed since a change, or on moving to a screen of
    // another density.
    if (m_surfaceStale || m_surface.devicePixelRatio() != devicePixelRatioF()) {
        m_surfaceStale = false;
        m_surface = drawFrameSurface(currentLook());
    }
    return m_surface;
}

FrameLook FramedWindow::currentLook()
{
    const qreal ratio = devicePixelRatioF();
    if (m_skinPaint.isNull() || m_skinPaintRatio != ratio)
        prepareSkinPaint(ratio);
    return FrameLook{size(), ratio, windowTitle(), captionFont(), m_skinPaint, m_icon};
}

void FramedWindow::applyFrameMask()
{
    const QRegion region = frameRegion(Twips::fromPx(width()), Twips::fromPx(height()));
    if (!region.isEmpty())
        setMask(region);
}

void FramedWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutFrame();
}

void FramedWindow::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(0, 0, surface());
}

void FramedWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Once all the window's own controls are there: the picture buttons
    // join the Tab order at their design places.
    if (!m_tabOrderSet) {
        m_tabOrderSet = true;
        arrangeTabOrder();
    }
}

void FramedWindow::arrangeTabOrder() { FocusOrder::placePictureButtons(this); }

void FramedWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the window as its close button does (keys no control
    // took reach the window).
    if (event->key() == Qt::Key_Escape && !(event->modifiers() & ~Qt::KeypadModifier) && closesOnEscape()) {
        event->accept();
        closeFromFrame();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FramedWindow::mouseMoveEvent(QMouseEvent *event)
{
    // Moves that reach the window from one of its own controls (a label
    // passing them on) are not over the bare surface.
    if (!childAt(event->position().toPoint()))
        for (CaptionButton *b : {m_closeButton, m_minimizeButton, m_maximizeButton})
            b->unmark();
    QWidget::mouseMoveEvent(event);
}

void FramedWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Minimising, maximising and restoring lay out, repaint and reshape the
    // frame; so does a new caption, rather than waiting for the next size
    // change, so the title always reads what the window is called.
    if (event->type() == QEvent::WindowStateChange || event->type() == QEvent::WindowTitleChange)
        layOutFrame();
    if (event->type() == QEvent::WindowStateChange)
        showMaximizeOrRestorePictures();
}

void FramedWindow::closeEvent(QCloseEvent *event)
{
    // A close from outside (the window manager, the application quitting)
    // does what the close button does. The close goes through only when
    // that unloaded the window.
    closeFromFrame();
    if (Windows::isUnloaded(this))
        event->accept();
    else
        event->ignore();
}

void FramedWindow::wireCaptionButtons()
{
    m_closeButton->setPictures(captionPictures("close"));
    connect(m_closeButton, &ImageControl::clicked, this, &FramedWindow::closeFromFrame);
    // Close-only windows: the minimise and maximise buttons show no looks
    // and do nothing.
    if (m_skin != Skin::ThreeButton)
        return;
    m_minimizeButton->setPictures(captionPictures("min"));
    showMaximizeOrRestorePictures();
    connect(m_minimizeButton, &ImageControl::clicked, this, [this] { showMinimized(); });
    connect(m_maximizeButton, &ImageControl::clicked, this, [this] {
        if (isMaximized())
            showNormal();
        else
            showMaximized();
    });
}

// A maximised window's maximise button restores it, and looks so.
void FramedWindow::showMaximizeOrRestorePictures()
{
    if (m_skin == Skin::ThreeButton)
        m_maximizeButton->setPictures(captionPictures(isMaximized() ? "restore" : "max"));
}

// Dragging by the title strip: the platform moves the window where it can;
// elsewhere the window follows the strip's mouse moves until release.
void FramedWindow::wireTitleBar()
{
    connect(m_titleStrip, &ImageControl::mouseDown, this, [this](Qt::MouseButton button, const QPoint &pos) {
        if (button != Qt::LeftButton)
            return;
        m_dragging = false;
        if (QWindow *handle = windowHandle(); handle && handle->startSystemMove())
            return;
        m_dragging = true;
        m_dragOffset = m_titleStrip->mapToGlobal(pos) - this->pos();
    });
    connect(m_titleStrip, &ImageControl::mouseMoved, this, [this](Qt::MouseButtons buttons, const QPoint &pos) {
        if (!m_dragging)
            return;
        if (!(buttons & Qt::LeftButton)) {
            m_dragging = false;
            return;
        }
        move(m_titleStrip->mapToGlobal(pos) - m_dragOffset);
    });
    connect(m_titleStrip, &ImageControl::mouseUp, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton)
            m_dragging = false;
    });
}

// The grips resize the window: the bottom edge, the right edge, or both at
// the corner, never below gripMinimumSize().
void FramedWindow::wireGrip(ImageControl *grip, GripEdge edge)
{
    connect(grip, &ImageControl::mouseDown, this, [this, grip, edge](Qt::MouseButton button, const QPoint &pos) {
        if (button != Qt::LeftButton || isMaximized())
            return;
        m_resizing = false;
        // The window manager's own resize honours the minimum size too.
        setMinimumSize(gripMinimumSize());
        const Qt::Edges edges = edge == GripEdge::Bottom ? Qt::Edges(Qt::BottomEdge)
                                : edge == GripEdge::Right ? Qt::Edges(Qt::RightEdge)
                                                          : (Qt::BottomEdge | Qt::RightEdge);
        if (QWindow *handle = windowHandle(); handle && handle->startSystemResize(edges))
            return;
        m_resizing = true;
        m_resizeEdge = edge;
        m_resizeStartGlobal = grip->mapToGlobal(pos);
        m_resizeStartSize = size();
    });
    connect(grip, &ImageControl::mouseMoved, this, [this, grip](Qt::MouseButtons buttons, const QPoint &pos) {
        if (!m_resizing)
            return;
        if (!(buttons & Qt::LeftButton)) {
            m_resizing = false;
            return;
        }
        const QPoint delta = grip->mapToGlobal(pos) - m_resizeStartGlobal;
        QSize target = m_resizeStartSize;
        if (m_resizeEdge != GripEdge::Bottom)
            target.setWidth(target.width() + delta.x());
        if (m_resizeEdge != GripEdge::Right)
            target.setHeight(target.height() + delta.y());
        target = target.expandedTo(gripMinimumSize());
        if (target != size())
            resize(target);
    });
    connect(grip, &ImageControl::mouseUp, this, [this] { m_resizing = false; });
}
