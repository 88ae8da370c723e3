#include "web/newban.h"
#include "app/globals.h"

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

newban::newban()
    : FramedWindow(QStringLiteral("newban"), QStringLiteral("：：网上升级：："), Skin::CloseOnly, 6600,
                   3150, 0)
{
    m_web = new QWebEngineView(this);
    m_web->setObjectName(QStringLiteral("websuzhou"));
    // The view owns its page, so the page goes before the view does.
    m_web->setPage(new QWebEnginePage(QWebEngineProfile::defaultProfile(), m_web));
    // The whole client area: under the title bar and its caption buttons,
    // inside the thin painted edges.
    place(m_web, 60, 390, 6600 - 60 - 90, 3150 - 390 - 90);

    // The address only; whatever the page does, or a failure to load it,
    // the view shows on its own.
    m_web->setUrl(QUrl(upgradeAddress(), QUrl::TolerantMode));
    centreOnScreen();
}

QString newban::upgradeAddress()
{
    return App::SiteAddress() + QStringLiteral("/qwsoft/webdown/zaoxiangdown.htm");
}
