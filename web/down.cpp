#include "web/down.h"
#include "web/newban.h"
#include "web/shell.h"
#include "web/webassets.h"
#include "app/fonts.h"
#include "app/globals.h"
#include "app/registry.h"
#include "skin/imagecontrol.h"

#include <QFrame>
#include <QLabel>

down::down()
    : FramedWindow(QStringLiteral("down"), QStringLiteral("：：网上升级：："), Skin::CloseOnly, 6600,
                   3150, 0)
{
    // The picture on the left, the rule beside it; the two buttons side by
    // side on the right with the two notes under them.
    m_image1 = new ImageControl(this, QStringLiteral("Image1"));
    m_image1->setPicture(WebAssets::resourcePicture(QStringLiteral(":/web/down.png")));
    m_image1->setStretch(true);
    place(m_image1, 180, 480, 1800, 2250);

    m_line1 = new QFrame(this);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line1->setFrameShape(QFrame::VLine);
    m_line1->setFrameShadow(QFrame::Sunken);
    place(m_line1, 2160, 420, 30, 2400);

    m_image2 = makePictureButton(this, QStringLiteral("Image2"), QStringLiteral("下载数据库"),
                                 QStringLiteral(":/buttons/download_db.png"), 2760, 660, 1410, 480);
    m_image3 = makePictureButton(this, QStringLiteral("Image3"), QStringLiteral("下载最新版"),
                                 QStringLiteral(":/buttons/download_latest.png"), 4560, 660, 1410, 480);

    const QFont font = songFont(9);
    m_label1 = new QLabel(QStringLiteral("  数据库下载后请放置在安装目录下,覆盖原来的数据库即可！"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label2 = new QLabel(QStringLiteral("  如果你有独到的美味菜谱能共享的话，热烈欢迎！"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel *label : {m_label1, m_label2}) {
        label->setFont(font);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    place(m_label1, 2280, 1500, 4155, 560);
    place(m_label2, 2280, 2160, 4155, 560);

    connect(m_image2, &ImageControl::clicked, this, &down::Image2_Click);
    connect(m_image3, &ImageControl::clicked, this, &down::Image3_Click);

    centreOnScreen();
}

QString down::databaseAddress() { return App::SiteAddress() + QStringLiteral("/qwsoft/webdown/cate.rar"); }

void down::Image2_Click()
{
    // The browser downloads the archive; Label1 says where the database goes.
    Shell::openWebAddress(databaseAddress());
}

void down::Image3_Click()
{
    Windows::show<newban>();
    Windows::unload<down>();
}
