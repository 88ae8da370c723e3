#pragma once
// The painted surface of a skinned frame (title strip, edges, corners, the
// icon and the caption), drawn from what it depends on alone, so that it can
// be drawn on another thread while the window is still hidden.
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include <future>

struct FrameLook {
    QSize size;        // the window's size in pixels
    qreal ratio = 1;   // its pixel density
    QString caption;
    QFont font;        // the caption font
    QImage skin;       // the skin drawn for `ratio`, its surround transparent
    QImage icon;       // the window's small icon; may be null

    // The same surface: the pictures and the font never change for a window.
    bool sameAs(const FrameLook &other) const
    {
        return size == other.size && ratio == other.ratio && caption == other.caption;
    }
};

QImage drawFrameSurface(const FrameLook &look);

// A surface drawn on a thread of its own, kept with the look it was drawn
// for. Taking it waits for the drawing to end.
class FrameSurfaceAhead {
public:
    // Begins drawing `look`, unless that is being drawn already.
    void begin(const FrameLook &look);
    // The surface drawn for `look`, or a null image when none was begun for
    // it (then nothing is kept either way).
    QImage take(const FrameLook &look);

private:
    FrameLook m_look;
    std::future<QImage> m_drawing;
};
