#pragma once
// The skinned window frame shared by the eight framed windows: no platform
// frame; a title bar, caption buttons and edges painted from a small skin
// picture onto a persistent surface; a window region with rounded corners;
// caption buttons with hover and pressed looks; dragging by the title strip.
//
// A framed window derives from FramedWindow, names its skin, design size,
// caption and the design left of its bottom grip, and builds its own
// controls at their design places with place().
#include "skin/captionbutton.h"
#include "skin/framesurface.h"

#include <QFont>
#include <QImage>
#include <QWidget>

class FramedWindow : public QWidget {
    Q_OBJECT
public:
    enum class Skin { ThreeButton, CloseOnly };

    FramedWindow(const QString &objectName, const QString &caption, Skin skin,
                 double designWidthTw, double designHeightTw, double bottomGripLeftTw,
                 QWidget *parent = nullptr);
    ~FramedWindow() override;

    Skin skin() const { return m_skin; }
    QString caption() const { return windowTitle(); }

    // Puts a content control at its design place (twips).
    static void place(QWidget *control, double left, double top, double width, double height);
    // left = (screen width - window width) / 2, top likewise.
    void centreOnScreen();

    // The frame controls (their objectNames: IMBar, Immin, Immax, Imclose,
    // Pbottom, Pright, Pjiao).
    ImageControl *titleStrip() const { return m_titleStrip; }
    CaptionButton *minimizeButton() const { return m_minimizeButton; }
    CaptionButton *maximizeButton() const { return m_maximizeButton; }
    CaptionButton *closeButton() const { return m_closeButton; }
    ImageControl *bottomGrip() const { return m_bottomGrip; }
    ImageControl *rightGrip() const { return m_rightGrip; }
    ImageControl *cornerGrip() const { return m_cornerGrip; }
    // The skin picture, as drawn for a screen of ordinary density.
    const QImage &skinImage() const { return m_skinImage; }

    // The persistent painted surface (what every repaint shows), at the
    // window's pixel density. It is painted afresh when it is first needed
    // after a change of size, caption or density, not at every change.
    const QImage &surface();

    // The window region for a window of this size in twips.
    static QRegion frameRegion(double widthTw, double heightTw);

    // The caption font: 宋体 9 pt bold, or a Song-style CJK font (AR PL
    // UMing CN) where 宋体 is not installed.
    static QFont captionFont();

    // Puts the frame controls above the window's own controls. The frame
    // does this itself at every size change (so also when the window is
    // first shown); a window that adds controls later may call it again.
    void raiseFrameControls();

    // The smallest size the resize grips allow (pixels): the design size.
    QSize gripMinimumSize() const;

    // What the close button does: unload this window, once the cook has
    // agreed to lose any unsaved typing. The main window runs the program's
    // exit instead.
    virtual void closeFromFrame();
    // Whether the window holds typing the cook has not saved yet.
    virtual bool hasPendingInput() const { return false; }
    // True when nothing is pending, or the cook chose to give it up.
    bool mayDiscardInput();
    // Whether Escape closes the window as the close button does (keys that
    // no control of the window takes reach the window). The main window says
    // no.
    virtual bool closesOnEscape() const { return true; }

protected:
    // Lays out the frame controls, marks the surface for painting afresh
    // and sets the region.
    void layOutFrame();
    void applyFrameMask();

    // Puts the picture buttons into the Tab order at their design places,
    // once, when the window is first shown.
    virtual void arrangeTabOrder();

    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class GripEdge { Bottom, Right, Corner };
    void buildFrameControls(double bottomGripLeftTw);
    void wireCaptionButtons();
    void wireTitleBar();
    void wireGrip(ImageControl *grip, GripEdge edge);
    FrameLook currentLook();
    QString skinResource() const;
    void prepareSkinPaint(qreal ratio);
    void showMaximizeOrRestorePictures();

    Skin m_skin;
    QImage m_skinImage;
    QImage m_icon;
    QImage m_surface;
    bool m_surfaceStale = true;   // size or caption changed since it was painted
    ImageControl *m_titleStrip = nullptr;
    CaptionButton *m_minimizeButton = nullptr;
    CaptionButton *m_maximizeButton = nullptr;
    CaptionButton *m_closeButton = nullptr;
    ImageControl *m_bottomGrip = nullptr;
    ImageControl *m_rightGrip = nullptr;
    ImageControl *m_cornerGrip = nullptr;
    QImage m_skinPaint; // the skin with its red surround made transparent
    qreal m_skinPaintRatio = 0; // the pixel density it was chosen for
    bool m_tabOrderSet = false;
    QSize m_designSize;
    // Moving by the title strip (when the platform cannot move it for us).
    bool m_dragging = false;
    QPoint m_dragOffset;
    // Resizing by a grip (likewise).
    bool m_resizing = false;
    GripEdge m_resizeEdge = GripEdge::Corner;
    QPoint m_resizeStartGlobal;
    QSize m_resizeStartSize;
};
