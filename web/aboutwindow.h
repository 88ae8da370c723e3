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

    ImageControl *picture() const { return m_picture; }
    QGroupBox *addressFrame() const { return m_addressFrame; }
    QLabel *version() const { return m_version; }
    QLabel *siteCaption() const { return m_siteCaption; }
    QLabel *bugNote() const { return m_bugNote; }
    QLabel *mailCaption() const { return m_mailCaption; }
    LinkLabel *siteLink() const { return m_siteLink; }
    LinkLabel *mailLink() const { return m_mailLink; }
    QFrame *rule() const { return m_rule; }
    RichTextBox *descriptionBox() const { return m_descriptionBox; }

    // The description shown in RichTextBox1.
    static QString description();

    // The handlers of the two links.
    void openSite();     // Label5, the web site
    void writeMail();    // Label6, the mail address

private:
    void buildAddressPanel();
    void buildDescription();

    ImageControl *m_picture;
    QGroupBox *m_addressFrame;
    QLabel *m_version;
    QLabel *m_siteCaption;
    QLabel *m_bugNote;
    QLabel *m_mailCaption;
    LinkLabel *m_siteLink;
    LinkLabel *m_mailLink;
    QFrame *m_rule;
    RichTextBox *m_descriptionBox;
};

} // namespace zx
