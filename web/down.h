#pragma once
// The download window: a newer recipe database from the maker's site, and
// the way on to the upgrade page.
#include "skin/framedwindow.h"

class ImageControl;
class QFrame;
class QLabel;

class down : public FramedWindow {
    Q_OBJECT
public:
    down();

    // The address of the database archive on the maker's site.
    static QString databaseAddress();

    ImageControl *Image1() const { return m_image1; }
    QFrame *Line1() const { return m_line1; }
    ImageControl *Image2() const { return m_image2; }
    ImageControl *Image3() const { return m_image3; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }

private:
    void Image2_Click();
    void Image3_Click();

    ImageControl *m_image1;
    QFrame *m_line1;
    ImageControl *m_image2;
    ImageControl *m_image3;
    QLabel *m_label1;
    QLabel *m_label2;
};
