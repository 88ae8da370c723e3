#include "web/newban.h"
#include "app/globals.h"

#include "web/webviewloader.h"

#include <QLabel>
#include <QUrl>

newban::newban()
    : FramedWindow(QStringLiteral("newban"), QStringLiteral("：：网上升级：："), Skin::CloseOnly, 6600,
                   3150, 0)
{
    QString error;
    m_web = createWebView(this, &error);
    if (!m_web) {
        auto *notice = new QLabel(QStringLiteral("无法加载网页组件，请用浏览器打开：\n") + upgradeAddress(), this);
        notice->setWordWrap(true);
        notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
        notice->setToolTip(error);
        m_web = notice;
    }
    m_web->setObjectName(QStringLiteral("websuzhou"));
    // The whole client area: under the title bar and its caption buttons,
    // inside the thin painted edges.
    place(m_web, 60, 390, 6600 - 60 - 90, 3150 - 390 - 90);

    // The address only; whatever the page does, or a failure to load it,
    // the view shows on its own.
    m_web->setProperty("url", QUrl(upgradeAddress(), QUrl::TolerantMode));
    centreOnScreen();
}

QString newban::upgradeAddress()
{
    return App::SiteAddress() + QStringLiteral("/qwsoft/webdown/zaoxiangdown.htm");
}
