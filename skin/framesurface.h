#pragma once
// The painted surface of a skinned frame (title strip, edges, corners, the
// icon and the caption), drawn from what it depends on alone.
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

struct FrameLook {
    QSize size;        // the window's size in pixels
    qreal ratio = 1;   // its pixel density
    QString caption;
    QFont font;        // the caption font
    QImage skin;       // the skin drawn for `ratio`, its surround transparent
    QImage icon;       // the window's small icon; may be null
};

QImage drawFrameSurface(const FrameLook &look);
