#include "web/about.h"
#include "web/linklabel.h"
#include "web/shell.h"
#include "web/webassets.h"
#include "app/fonts.h"
#include "app/globals.h"
#include "app/richtextbox.h"
#include "skin/imagecontrol.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

about::about()
    : FramedWindow(QStringLiteral("about"), QStringLiteral("：：关于软件：："), Skin::CloseOnly, 6600,
                   3150, 0)
{
    m_image1 = new ImageControl(this, QStringLiteral("Image1"));
    m_image1->setPicture(WebAssets::resourcePicture(QStringLiteral(":/web/about.png")));
    m_image1->setStretch(true);
    place(m_image1, 180, 480, 1800, 2250);

    m_frame1 = new QGroupBox(QStringLiteral("灶香居"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    place(m_frame1, 2040, 300, 4395, 2625);

    const QFont font = songFont(9);
    auto label = [&](const QString &name, const QString &text) {
        auto *l = new QLabel(text, m_frame1);
        l->setObjectName(name);
        l->setFont(font);
        return l;
    };
    auto link = [&](const QString &name, const QString &text) {
        auto *l = new LinkLabel(text, m_frame1);
        l->setObjectName(name);
        l->setFont(font);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0x99));
        l->setPalette(p);
        return l;
    };
    // First line: the version, a blank, the web site. Label2 is only the
    // blank between them; the site address needs no caption of its own.
    m_label1 = label(QStringLiteral("Label1"), QStringLiteral("版本：V2004"));
    place(m_label1, 120, 285, 1020, 240);
    m_label2 = label(QStringLiteral("Label2"), QString());
    place(m_label2, 1140, 285, 150, 240);
    m_label5 = link(QStringLiteral("Label5"), App::SiteAddress());
    place(m_label5, 1290, 285, 3000, 240);
    // Second line: the mail address, its caption ending where the
    // addresses start.
    m_label4 = label(QStringLiteral("Label4"), QStringLiteral("Email："));
    m_label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(m_label4, 120, 525, 1170, 240);
    m_label6 = link(QStringLiteral("Label6"), QString::fromUtf8(App::MailAddress));
    place(m_label6, 1290, 525, 3000, 240);
    m_label3 = label(QStringLiteral("Label3"), QStringLiteral("如有Bug,还请来信告知！"));
    place(m_label3, 120, 765, 4155, 240);

    m_line1 = new QFrame(m_frame1);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setFrameShadow(QFrame::Sunken);
    place(m_line1, 60, 1035, 4275, 30);

    m_text = new RichTextBox(m_frame1);
    m_text->setObjectName(QStringLiteral("RichTextBox1"));
    m_text->setFont(font);
    m_text->setText(description());
    m_text->setReadOnly(true);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    place(m_text, 90, 1110, 4215, 1425);

    connect(m_label5, &LinkLabel::clicked, this, &about::Label5_Click);
    connect(m_label6, &LinkLabel::clicked, this, &about::Label6_Click);

    centreOnScreen();
}

QString about::description()
{
    return QStringLiteral(
        "★ 新增菜谱打印功能，喜欢的菜随手打印。\r\n"
        "★ 新增菜谱分类的添加与删除，分类由你安排。\r\n"
        "    灶香居收集了南北各地的家常菜、汤羹和点心，配料、做法一应俱全。"
        "喜欢的话，请把它推荐给你的亲朋好友！");
}

void about::Label5_Click() { Shell::openWebAddress(App::SiteAddress()); }

void about::Label6_Click() { Shell::openMailTo(QString::fromUtf8(App::MailAddress)); }
