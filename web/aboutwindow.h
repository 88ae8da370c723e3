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

namespace zx {

class AboutWindow : public FramedWindow {
    Q_OBJECT
public:
    AboutWindow();

    ImageControl *Image1() const { return m_Image1; }
    QGroupBox *Frame1() const { return m_Frame1; }
    QLabel *Label1() const { return m_Label1; }
    QLabel *Label2() const { return m_Label2; }
    QLabel *Label3() const { return m_Label3; }
    QLabel *Label4() const { return m_Label4; }
    LinkLabel *Label5() const { return m_Label5; }
    LinkLabel *Label6() const { return m_Label6; }
    QFrame *Line1() const { return m_Line1; }
    RichTextBox *RichTextBox1() const { return m_RichTextBox1; }

    // The description shown in RichTextBox1.
    static QString description();

    // The handlers of the two links.
    void openSite();     // Label5, the web site
    void writeMail();    // Label6, the mail address

private:
    void buildAddressPanel();
    void buildDescription();

    ImageControl *m_Image1;
    QGroupBox *m_Frame1;
    QLabel *m_Label1;
    QLabel *m_Label2;
    QLabel *m_Label3;
    QLabel *m_Label4;
    LinkLabel *m_Label5;
    LinkLabel *m_Label6;
    QFrame *m_Line1;
    RichTextBox *m_RichTextBox1;
};

} // namespace zx
