#include "web/downloadwindow.h"

#include "core/appinfo.h"
#include "core/dialogs.h"
#include "core/fonts.h"
#include "core/registry.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"
#include "web/upgradewindow.h"
#include "web/shell.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>

namespace zx {

const char *const DownloadWindow::NoBrowser =
    "没有找到能打开下载地址的浏览器。\r\n请在浏览器中打开下面的地址下载数据库（地址已复制到剪贴板）：\r\n";

DownloadWindow::DownloadWindow(const QString &dataFolder)
    : FramedWindow(QStringLiteral("down"), QStringLiteral("：：网上升级：："), Skin::CloseOnly, 6600,
                   3150, 0)
{
    // The picture on the left, the rule beside it; the two buttons side by
    // side on the right with the two notes under them.
    const Form::Controls make(this);
    make.image(QStringLiteral("Image1"), QStringLiteral(":/web/down.png"), {180, 480, 1800, 2250});
    make.rule(QStringLiteral("Line1"), {2160, 420, 30, 2400});
    m_databaseButton = make.pictureButton(QStringLiteral("Image2"), QStringLiteral("下载数据库"),
                                  QStringLiteral(":/buttons/download_db.png"), {2760, 660, 1410, 480});
    m_latestButton = make.pictureButton(QStringLiteral("Image3"), QStringLiteral("下载最新版"),
                                  QStringLiteral(":/buttons/download_latest.png"), {4560, 660, 1410, 480});
    const QFont font = songFont(9);
    QString folder = QDir::toNativeSeparators(QDir::cleanPath(dataFolder));
    if (folder.startsWith(QDir::homePath() + QLatin1Char('/')))
        folder = QStringLiteral("~") + folder.mid(QDir::homePath().size());
    const QString notes[2] = {dataFolder.isEmpty()
                                  ? QStringLiteral("  数据库下载后请放置在安装目录下,覆盖原来的数据库即可！")
                                  : QStringLiteral("  数据库下载后请放在 %1 里，覆盖原来的 cate.mdb 即可！").arg(folder),
                              QStringLiteral("  如果你有独到的美味菜谱能共享的话，热烈欢迎！")};
    for (int i = 0; i < 2; ++i) {
        QLabel *label = make.label(QStringLiteral("Label%1").arg(i + 1), notes[i], {2280, 1500.0 + 660 * i, 4155, 560});
        label->setFont(font);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (i == 0 && !dataFolder.isEmpty())
            label->setToolTip(QDir::toNativeSeparators(dataFolder));
    }

    connect(m_databaseButton, &ImageControl::clicked, this, &DownloadWindow::downloadDatabase);
    connect(m_latestButton, &ImageControl::clicked, this, &DownloadWindow::openUpgrade);
    centreOnScreen();
}

QString DownloadWindow::databaseAddress() { return App::siteAddress() + QStringLiteral("/qwsoft/webdown/cate.rar"); }

void DownloadWindow::downloadDatabase()
{
    // The browser downloads the archive; Label1 says where the database goes.
    const QString address = databaseAddress();
    if (Shell::openWebAddress(address))
        return;
    // No browser took it: the cook gets the address to fetch it by hand.
    QGuiApplication::clipboard()->setText(address);
    DialogService::instance().message(this, QString::fromUtf8(NoBrowser) + address, QString(),
                                      DialogService::OkOnly, DialogService::Ok, DialogService::Information);
}

void DownloadWindow::openUpgrade()
{
    Windows::show<UpgradeWindow>();
    Windows::unload<DownloadWindow>();
}

} // namespace zx
