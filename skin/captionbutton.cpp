#include "skin/captionbutton.h"

#include <QPainter>

CaptionButton::CaptionButton(QWidget *parent, const QString &name, const QString &caption)
    : ImageControl(parent, name)
{
    setToolTip(caption);
    setAccessibleName(caption);
    setButton(false);
    // Connected first, so the button has its new look before anyone else
    // hears of the press or the click.
    connect(this, &ImageControl::mouseMoved, this, [this] {
        if (!m_marked) {
            m_marked = true;
            showState(State::Hovered);
        }
    });
    connect(this, &ImageControl::mouseDown, this, [this] { showState(State::Pressed); });
    connect(this, &ImageControl::mouseUp, this, [this] {
        m_marked = false;
        showState(State::Resting);
    });
}

void CaptionButton::setPictures(const Pictures &pictures)
{
    m_pictures = pictures;
    update();
}

void CaptionButton::unmark()
{
    if (!m_marked)
        return;
    m_marked = false;
    showState(State::Resting);
}

void CaptionButton::showState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    const QPixmap &picture = m_state == State::Hovered   ? m_pictures.hovered
                             : m_state == State::Pressed ? m_pictures.pressed
                                                         : m_pictures.resting;
    if (!picture.isNull())
        QPainter(this).drawPixmap(0, 0, picture);
}
