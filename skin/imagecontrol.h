#pragma once
// A lightweight image control: shows a picture (stretched, fitted inside it
// in its own proportions, or at its own size) or nothing at all, in which
// case it is transparent and the window's painted surface shows through.
// Reports mouse-down, mouse-move, mouse-up and click. Geometry may be set in
// twips; a value the control rejects (a negative width or height) changes
// nothing.
//
// A control made a button (setButton) is also a push button for the keyboard
// and for screen readers: it is named by its accessible name and offers the
// press action, which does what a click does. A button that is a tab stop
// takes the focus with Tab (never with the mouse), shows a focus mark while
// focused from the keyboard, and is pressed with Space or Enter.
#include <QPixmap>
#include <QWidget>

class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget *parent = nullptr, const QString &name = QString());

    void setPicture(const QPixmap &picture);
    void clearPicture() { setPicture(QPixmap()); }
    const QPixmap &picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }
    void setStretch(bool stretch);
    // A dish's picture: as large as fits inside the control, in its own
    // proportions, centred; never stretched out of shape.
    void setFit(bool fit);
    // Where the picture is drawn, in the control's coordinates (empty
    // when it shows none).
    QRect pictureArea() const;

    void setButton(bool tabStop);
    bool isButton() const { return m_button; }
    // Presses the button as a click with the left button at its middle
    // does: mouse-down, mouse-up, then click.
    void press();
    // Whether the keyboard focus mark is showing.
    bool showsFocusMark() const { return hasFocus() && m_keyboardFocus; }

    // Twips setters; false (and nothing changed) when the value is rejected.
    bool setLeftTw(double left);
    bool setTopTw(double top);
    bool setWidthTw(double width);
    bool setHeightTw(double height);
    double leftTw() const;
    double topTw() const;
    double widthTw() const;
    double heightTw() const;

signals:
    void mouseDown(Qt::MouseButton button, const QPoint &pos);
    void mouseMoved(Qt::MouseButtons buttons, const QPoint &pos);
    void mouseUp(Qt::MouseButton button, const QPoint &pos);
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void paintFocusMark(QPainter &p);
    void setKeyboardFocus(bool on);

    QPixmap m_picture;
    QPixmap m_fitted;   // m_picture scaled once for the area it fits in
    bool m_stretch = false;
    bool m_fit = false;
    bool m_pressedInside = false;
    bool m_button = false;
    bool m_keyboardFocus = false; // the focus came from the keyboard
    bool m_spaceDown = false;
};

// A picture button: an image control whose picture carries its caption,
// with a pointing-hand pointer; a click on it is the button press. The
// caption is also its accessible name; it is a tab stop (see setButton).
// `resource` is a Qt resource path such as ":/buttons/add.png", shown at the
// screen's density (Artwork::pixmap). Placed at its design place (twips); a
// zero width or height takes the picture's own size.
ImageControl *makePictureButton(QWidget *parent, const QString &objectName, const QString &caption,
                                const QString &resource, double left, double top,
                                double width = 0, double height = 0);

// The largest rectangle of `picture`'s proportions inside `frame`, centred
// in it; at least a pixel each way.
QRect fittedRect(const QSize &picture, const QRect &frame);
// `picture` scaled smoothly to fit inside a box of `box` logical pixels at
// the density `ratio`, for a control that centres what it shows.
QPixmap fittedPicture(const QPixmap &picture, const QSize &box, qreal ratio);

// Registers the program's compiled-in pictures (":/skin/...", ":/buttons/...")
// once; the frame and makePictureButton call it, so resource paths work in
// every executable that links the windows.
void ensureAssetResources();
