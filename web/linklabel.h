#pragma once
// A label that reacts to a click, for the about window's web and mail
// addresses: pointing-hand pointer, clicked() on a left press and release
// inside the label. It is a Tab stop as well, which Enter or Space opens,
// and assistive technology sees a link that can be pressed.
#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_pressed = false;
};
