#include "app/splashwindow.h"
#include "skin/artwork.h"
#include "skin/imagecontrol.h"
#include "skin/twips.h"

#include <QGuiApplication>
#include <QScreen>

// An ordinary frameless window kept on top, not a splash-screen window:
// Qt runs the event loop when a splash-screen window is shown before it
// starts, which would paint a splash that is hidden at once.
zx::SplashWindow::SplashWindow() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("灶香居 2004"));
    resize(Twips::size(6705, 5145));
    m_picture = new ImageControl(this, QStringLiteral("Image1"));
    m_picture->setStretch(true);
    m_picture->setGeometry(Twips::rect(0, 0, 6720, 5175));
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
    }
}

void zx::SplashWindow::paintEvent(QPaintEvent *event)
{
    if (!m_picture->hasPicture())
        m_picture->setPicture(Artwork::pixmap(QStringLiteral(":/main/splash.png")));
    QWidget::paintEvent(event);
}
