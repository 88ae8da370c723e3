#include "web/aboutwindow.h"
#include "web/linklabel.h"
#include "web/shell.h"
#include "core/fonts.h"
#include "core/appinfo.h"
#include "skin/richtextbox.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace zx {

namespace {
// The labels of the about window: Song 9 pt; the links in a dark blue.
QLabel *aboutLabel(QLabel *label, const QString &name, const Form::Place &at)
{
    label->setObjectName(name);
    label->setFont(songFont(9));
    Form::place(label, at);
    return label;
}
LinkLabel *aboutLink(const QString &name, const QString &text, QWidget *parent, const Form::Place &at)
{
    auto *link = new LinkLabel(text, parent);
    aboutLabel(link, name, at);
    QPalette p = link->palette();
    p.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0x99));
    link->setPalette(p);
    return link;
}
} // namespace

AboutWindow::AboutWindow()
    : FramedWindow(QStringLiteral("about"), QStringLiteral("：：关于软件：："), Skin::CloseOnly, 6600,
                   3150, 0)
{
    const Form::Controls make(this);
    m_picture = make.image(QStringLiteral("Image1"), QStringLiteral(":/web/about.png"), {180, 480, 1800, 2250});
    m_addressFrame = new QGroupBox(QStringLiteral("灶香居"), this);
    m_addressFrame->setObjectName(QStringLiteral("Frame1"));
    Form::place(m_addressFrame, {2040, 300, 4395, 2625});
    buildAddressPanel();
    buildDescription();
    connect(m_siteLink, &LinkLabel::clicked, this, &AboutWindow::openSite);
    connect(m_mailLink, &LinkLabel::clicked, this, &AboutWindow::writeMail);
    centreOnScreen();
}

// The version, the web site and the mail address, and the fault line.
void AboutWindow::buildAddressPanel()
{
    // First line: the version, a blank, the web site. Label2 is only the
    // blank between them; the site address needs no caption of its own.
    m_version = aboutLabel(new QLabel(QStringLiteral("版本：V2004"), m_addressFrame), QStringLiteral("Label1"),
                          {120, 285, 1020, 240});
    m_siteCaption = aboutLabel(new QLabel(m_addressFrame), QStringLiteral("Label2"), {1140, 285, 150, 240});
    m_siteLink = aboutLink(QStringLiteral("Label5"), App::siteAddress(), m_addressFrame, {1290, 285, 3000, 240});
    // Second line: the mail address, its caption ending where the
    // addresses start.
    m_mailCaption = aboutLabel(new QLabel(QStringLiteral("Email："), m_addressFrame), QStringLiteral("Label4"),
                          {120, 525, 1170, 240});
    m_mailCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_mailLink = aboutLink(QStringLiteral("Label6"), QString::fromUtf8(App::MailAddress), m_addressFrame,
                         {1290, 525, 3000, 240});
    m_bugNote = aboutLabel(new QLabel(QStringLiteral("如有Bug,还请来信告知！"), m_addressFrame),
                          QStringLiteral("Label3"), {120, 765, 4155, 240});
}

void AboutWindow::buildDescription()
{
    const Form::Controls make(m_addressFrame);
    m_rule = make.rule(QStringLiteral("Line1"), {60, 1035, 4275, 30});
    m_descriptionBox = make.richBox(QStringLiteral("RichTextBox1"), QString(), {90, 1110, 4215, 1425});
    m_descriptionBox->setFont(songFont(9));
    m_descriptionBox->setText(description());
    m_descriptionBox->setReadOnly(true);
    m_descriptionBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QString AboutWindow::description()
{
    return QStringLiteral(
        "★ 新增菜谱打印功能，喜欢的菜随手打印。\r\n"
        "★ 新增菜谱分类的添加与删除，分类由你安排。\r\n"
        "    灶香居收集了南北各地的家常菜、汤羹和点心，配料、做法一应俱全。"
        "喜欢的话，请把它推荐给你的亲朋好友！");
}

void AboutWindow::openSite() { Shell::openWebAddress(App::siteAddress()); }

void AboutWindow::writeMail() { Shell::openMailTo(QString::fromUtf8(App::MailAddress)); }

} // namespace zx
