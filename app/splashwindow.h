#pragma once
// The splash window: one picture, shown while the main window loads.
#include <QWidget>

class ImageControl;

namespace zx {
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    SplashWindow();

protected:
    // The picture is read when the splash is first painted: a splash hidden
    // at once never reads it.
    void paintEvent(QPaintEvent *event) override;

private:
    ImageControl *m_picture = nullptr;
};
} // namespace zx
