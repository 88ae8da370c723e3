#include "web/upgradewindow.h"
#include "core/appinfo.h"
#include "skin/controls.h"

#include "web/webviewloader.h"

#include <QLabel>
#include <QUrl>

namespace zx {

UpgradeWindow::UpgradeWindow()
    : FramedWindow(QStringLiteral("newban"), QStringLiteral("：：网上升级：："), Skin::CloseOnly, 6600,
                   3150, 0)
{
    QString error;
    m_websuzhou = createWebView(this, &error);
    if (!m_websuzhou) {
        auto *notice = new QLabel(QStringLiteral("无法加载网页组件，请用浏览器打开：\n") + upgradeAddress(), this);
        notice->setWordWrap(true);
        notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
        notice->setToolTip(error);
        m_websuzhou = notice;
    }
    m_websuzhou->setObjectName(QStringLiteral("websuzhou"));
    // The whole client area: under the title bar and its caption buttons,
    // inside the thin painted edges.
    Form::place(m_websuzhou, {60, 390, 6600 - 60 - 90, 3150 - 390 - 90});

    // The address only; whatever the page does, or a failure to load it,
    // the view shows on its own.
    m_websuzhou->setProperty("url", QUrl(upgradeAddress(), QUrl::TolerantMode));
    centreOnScreen();
}

QString UpgradeWindow::upgradeAddress()
{
    return App::siteAddress() + QStringLiteral("/qwsoft/webdown/zaoxiangdown.htm");
}

} // namespace zx
