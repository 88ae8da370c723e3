#pragma once
// A caption button of the skinned frame (minimise, maximise or restore,
// close): an image control that paints one of three pictures, resting,
// hovered or pressed. A null picture paints nothing, so what lies under the
// button shows through; the frame paints the resting glyphs on its surface,
// so its buttons have no resting picture of their own.
//
// The first move of the pointer over the button marks it and shows the
// hover picture; a press (of any mouse button, or from the keyboard or a
// screen reader) shows the pressed picture; letting go rests the button and
// clears the mark. A marked button also rests when the pointer moves on to
// the window's bare surface (unmark()).
#include "skin/imagecontrol.h"

class CaptionButton : public ImageControl {
    Q_OBJECT
public:
    struct Pictures {
        QPixmap resting;
        QPixmap hovered;
        QPixmap pressed;
    };

    // A push button for screen readers named `caption`, which is also its
    // tooltip; never a Tab stop.
    CaptionButton(QWidget *parent, const QString &name, const QString &caption);

    void setPictures(const Pictures &pictures);
    // Rests the button if the pointer marked it.
    void unmark();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    enum class State { Resting, Hovered, Pressed };
    void showState(State state);

    Pictures m_pictures;
    State m_state = State::Resting;
    bool m_marked = false;
};
