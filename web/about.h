#pragma once
// The about window: version, a short description, and the maker's web site
// and mail address, each opened by a click.
#include "skin/framedwindow.h"

class ImageControl;
class LinkLabel;
class QFrame;
class QGroupBox;
class QLabel;
class RichTextBox;

class about : public FramedWindow {
    Q_OBJECT
public:
    about();

    ImageControl *Image1() const { return m_image1; }
    QGroupBox *Frame1() const { return m_frame1; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QLabel *Label3() const { return m_label3; }
    QLabel *Label4() const { return m_label4; }
    LinkLabel *Label5() const { return m_label5; }
    LinkLabel *Label6() const { return m_label6; }
    QFrame *Line1() const { return m_line1; }
    RichTextBox *RichTextBox1() const { return m_text; }

    // The description shown in RichTextBox1.
    static QString description();

private:
    void Label5_Click();
    void Label6_Click();

    ImageControl *m_image1;
    QGroupBox *m_frame1;
    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_label3;
    QLabel *m_label4;
    LinkLabel *m_label5;
    LinkLabel *m_label6;
    QFrame *m_line1;
    RichTextBox *m_text;
};
