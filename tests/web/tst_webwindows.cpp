// The download, upgrade and about windows: their texts and layout, the
// addresses they hand to the desktop, and the upgrade page really loaded
// from a small web server on 127.0.0.1.
#include "core/appinfo.h"
#include "core/registry.h"
#include "skin/richtextbox.h"
#include "skin/imagecontrol.h"
#include "support/scripteddialogs.h"
#include "web/aboutwindow.h"
#include "web/downloadwindow.h"
#include "web/linklabel.h"

#include <QAccessible>
#include "web/upgradewindow.h"
#include "web/webengine.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace zx;

// Stands in for the desktop's browser and mail program.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// A one-page web site: answers every GET of `pagePath` with a page titled
// `title`, anything else with 404; remembers the paths asked for.
class TinySite : public QObject {
    Q_OBJECT
public:
    TinySite(const QString &pagePath, const QString &title) : m_pagePath(pagePath), m_title(title)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TinySite::accept);
        m_server.listen(QHostAddress::LocalHost);
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    QStringList requested;

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto *buffer = new QByteArray;
            connect(socket, &QTcpSocket::disconnected, socket, [socket, buffer] {
                delete buffer;
                socket->deleteLater();
            });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
                *buffer += socket->readAll();
                if (!buffer->contains("\r\n\r\n"))
                    return;
                const QString path = QString::fromLatin1(buffer->split(' ').value(1));
                requested << path;
                QByteArray body, status;
                if (path == m_pagePath) {
                    status = "200 OK";
                    body = "<html><head><meta charset=\"utf-8\"><title>" + m_title.toUtf8()
                        + "</title></head><body><h1>" + m_title.toUtf8() + "</h1></body></html>";
                } else {
                    status = "404 Not Found";
                    body = "<html><body>not here</body></html>";
                }
                socket->write("HTTP/1.0 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\n"
                              "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        }
    }

    QTcpServer m_server;
    QString m_pagePath;
    QString m_title;
};

namespace {
const QString UpgradeTitle = QStringLiteral("：：网上升级：：");

bool centred(const QWidget *w)
{
    const QRect s = w->screen()->geometry();
    return w->pos() == QPoint(s.x() + (s.width() - w->width()) / 2, s.y() + (s.height() - w->height()) / 2);
}

// A label shows all of its text: its wrapped text fits its height and it
// lies inside its parent.
void checkFits(const QLabel *label)
{
    const int needed = label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
    QVERIFY2(needed <= label->height(), qPrintable(label->objectName() + QStringLiteral(" is cut off")));
    if (!label->wordWrap())
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->objectName() + QStringLiteral(" is too narrow")));
    QVERIFY2(label->parentWidget()->rect().contains(label->geometry()),
             qPrintable(label->objectName() + QStringLiteral(" sticks out")));
}

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
} // namespace

class TestWebWindows : public QObject {
    Q_OBJECT
    UrlCatcher catcher;
    QString oldSite;

private slots:
    void initTestCase()
    {
        oldSite = App::siteAddress();
        for (const char *scheme : {"http", "https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
    }
    void cleanupTestCase()
    {
        for (const char *scheme : {"http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    void init()
    {
        catcher.urls.clear();
        App::siteAddress() = QStringLiteral("http://www.zaoxiangju.example.com");
    }
    void cleanup()
    {
        Windows::unload<DownloadWindow>();
        Windows::unload<UpgradeWindow>();
        Windows::unload<AboutWindow>();
        settle();
        App::siteAddress() = oldSite;
    }

    void downShowsItsNotesAndButtons()
    {
        DownloadWindow *w = Windows::show<DownloadWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->objectName(), QStringLiteral("down"));
        QCOMPARE(w->windowTitle(), UpgradeTitle);
        QCOMPARE(w->size(), QSize(440, 210));
        QVERIFY(centred(w));

        auto *label1 = w->findChild<QLabel *>(QStringLiteral("Label1"));
        auto *label2 = w->findChild<QLabel *>(QStringLiteral("Label2"));
        QVERIFY(label1 && label2);
        QCOMPARE(label1->text(), QStringLiteral("  数据库下载后请放置在安装目录下,覆盖原来的数据库即可！"));
        QCOMPARE(label2->text(), QStringLiteral("  如果你有独到的美味菜谱能共享的话，热烈欢迎！"));
        checkFits(label1);
        checkFits(label2);

        auto *image1 = w->findChild<ImageControl *>(QStringLiteral("Image1"));
        auto *line1 = w->findChild<QFrame *>(QStringLiteral("Line1"));
        auto *image2 = w->findChild<ImageControl *>(QStringLiteral("Image2"));
        auto *image3 = w->findChild<ImageControl *>(QStringLiteral("Image3"));
        QVERIFY(image1 && line1 && image2 && image3);
        QCOMPARE(image2->accessibleName(), QStringLiteral("下载数据库"));
        QCOMPARE(image3->accessibleName(), QStringLiteral("下载最新版"));
        QCOMPARE(image2->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(image3->cursor().shape(), Qt::PointingHandCursor);
        // Picture, rule, then the buttons side by side over the two notes.
        QVERIFY(image1->geometry().right() < line1->geometry().left());
        QVERIFY(line1->geometry().right() < image2->geometry().left());
        QVERIFY(line1->height() > line1->width());
        QVERIFY(image2->geometry().right() < image3->geometry().left());
        QCOMPARE(image2->y(), image3->y());
        QVERIFY(image2->geometry().bottom() < label1->y());
        QVERIFY(label1->geometry().bottom() < label2->y());
        for (QWidget *c : {static_cast<QWidget *>(image1), static_cast<QWidget *>(image2),
                           static_cast<QWidget *>(image3), static_cast<QWidget *>(line1)})
            QVERIFY(w->rect().contains(c->geometry()));
    }

    void downOpensTheDatabaseArchive()
    {
        ScriptedDialogs dialogs;
        App::siteAddress() = QStringLiteral("https://cook.example.org");
        DownloadWindow *w = Windows::show<DownloadWindow>();
        QTest::mouseClick(w->databaseButton(), Qt::LeftButton);
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("https://cook.example.org/qwsoft/webdown/cate.rar"))});
        // The browser downloads it; the window stays, and says nothing.
        QCOMPARE(Windows::loaded<DownloadWindow>(), w);
        QVERIFY(w->isVisible());
        QVERIFY(dialogs.messages.isEmpty());
    }

    // No browser takes the address: the cook is told it, and finds it on
    // the clipboard.
    void downTellsTheAddressWhenNoBrowserOpensIt()
    {
        ScriptedDialogs dialogs;
        App::siteAddress() = QStringLiteral("https://cook.example.org");
        QObject nobody;   // a handler with no way to open anything
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &nobody, "open");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("No such method")));
        DownloadWindow *w = Windows::show<DownloadWindow>();
        QTest::mouseClick(w->databaseButton(), Qt::LeftButton);
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        const QString address = QStringLiteral("https://cook.example.org/qwsoft/webdown/cate.rar");
        QCOMPARE(dialogs.texts(), QStringList{QString::fromUtf8(DownloadWindow::NoBrowser) + address});
        QCOMPARE(QGuiApplication::clipboard()->text(), address);
        QVERIFY(catcher.urls.isEmpty());
        QCOMPARE(Windows::loaded<DownloadWindow>(), w);
    }

    void latestVersionLeadsToTheUpgradePage()
    {
        TinySite site(QStringLiteral("/qwsoft/webdown/zaoxiangdown.htm"), QStringLiteral("灶香居升级页"));
        App::siteAddress() = site.address();
        ScriptedDialogs dialogs;
        DownloadWindow *d = Windows::show<DownloadWindow>();
        QVERIFY(!Windows::loaded<UpgradeWindow>());

        QTest::mouseClick(d->latestButton(), Qt::LeftButton);
        settle();
        QVERIFY(!Windows::loaded<DownloadWindow>());
        UpgradeWindow *w = Windows::loaded<UpgradeWindow>();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->objectName(), QStringLiteral("newban"));
        QCOMPARE(w->windowTitle(), UpgradeTitle);
        QVERIFY(centred(w));
        QVERIFY(catcher.urls.isEmpty());

        // The web view comes from its module, loaded as the program loads it
        // (this test does not link the web engine itself).
        QWidget *view = w->findChild<QWidget *>(QStringLiteral("websuzhou"));
        QVERIFY(view);
        QCOMPARE(w->websuzhou(), view);
        QVERIFY2(view->inherits("QWebEngineView"), view->metaObject()->className());
        QSignalSpy finished(view, SIGNAL(loadFinished(bool)));
        QVERIFY(finished.wait(60000) || !finished.isEmpty());
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(view->property("url").toUrl(),
                 QUrl(site.address() + QStringLiteral("/qwsoft/webdown/zaoxiangdown.htm")));
        QTRY_COMPARE(view->property("title").toString(), QStringLiteral("灶香居升级页"));
        QVERIFY(site.requested.contains(QStringLiteral("/qwsoft/webdown/zaoxiangdown.htm")));
        // The view fills the window under the title bar.
        QVERIFY(view->y() >= 17);
        QVERIFY(w->rect().contains(view->geometry()));
        QVERIFY(view->width() > w->width() * 9 / 10);
        QVERIFY(view->height() > w->height() * 3 / 4);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void unreachablePageAddsNoMessage()
    {
        // A port nobody listens on.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        App::siteAddress() = QStringLiteral("http://127.0.0.1:%1").arg(port);
        ScriptedDialogs dialogs;
        UpgradeWindow *w = Windows::show<UpgradeWindow>();
        QWidget *view = w->websuzhou();
        QVERIFY2(view->inherits("QWebEngineView"), "the web view module did not load");
        QSignalSpy finished(view, SIGNAL(loadFinished(bool)));
        QVERIFY(finished.wait(60000) || !finished.isEmpty());
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(Windows::loaded<UpgradeWindow>(), w);
        QVERIFY(w->isVisible());
    }

    void closeButtonsUnloadWithoutAQuestion()
    {
        ScriptedDialogs dialogs;
        DownloadWindow *d = Windows::show<DownloadWindow>();
        QTest::mouseClick(d->closeButton(), Qt::LeftButton);
        settle();
        QVERIFY(!Windows::loaded<DownloadWindow>());
        AboutWindow *a = Windows::show<AboutWindow>();
        QTest::mouseClick(a->closeButton(), Qt::LeftButton);
        settle();
        QVERIFY(!Windows::loaded<AboutWindow>());
        QVERIFY(dialogs.messages.isEmpty());
        // Shown again, each window is loaded afresh.
        QVERIFY(Windows::show<AboutWindow>() != nullptr);
        QVERIFY(Windows::loaded<AboutWindow>()->isVisible());
    }

    void aboutShowsVersionAddressesAndDescription()
    {
        AboutWindow *w = Windows::show<AboutWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->objectName(), QStringLiteral("about"));
        QCOMPARE(w->windowTitle(), QStringLiteral("：：关于软件：："));
        QCOMPARE(w->size(), QSize(440, 210));
        QVERIFY(centred(w));

        auto *frame = w->findChild<QGroupBox *>(QStringLiteral("Frame1"));
        QVERIFY(frame);
        QCOMPARE(frame->title(), QStringLiteral("灶香居"));
        auto label = [&](const char *name) { return frame->findChild<QLabel *>(QString::fromLatin1(name)); };
        QCOMPARE(label("Label1")->text(), QStringLiteral("版本：V2004"));
        QCOMPARE(label("Label2")->text(), QString()); // the blank between version and site
        QCOMPARE(label("Label5")->text(), QStringLiteral("http://www.zaoxiangju.example.com"));
        QCOMPARE(label("Label4")->text(), QStringLiteral("Email："));
        QCOMPARE(label("Label6")->text(), QStringLiteral("cook@zaoxiangju.example.com"));
        QCOMPARE(label("Label3")->text(), QStringLiteral("如有Bug,还请来信告知！"));
        QCOMPARE(label("Label5")->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(label("Label6")->cursor().shape(), Qt::PointingHandCursor);
        for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"})
            checkFits(label(name));

        // Lines: version and site; mail; the request for bug reports; the
        // rule; the description at the bottom.
        QCOMPARE(label("Label1")->y(), label("Label5")->y());
        QCOMPARE(label("Label2")->y(), label("Label5")->y());
        QVERIFY(label("Label1")->x() < label("Label2")->x());
        QVERIFY(label("Label2")->x() < label("Label5")->x());
        QCOMPARE(label("Label4")->y(), label("Label6")->y());
        QVERIFY(label("Label4")->x() < label("Label6")->x());
        QVERIFY(label("Label5")->geometry().bottom() < label("Label6")->y());
        QVERIFY(label("Label6")->geometry().bottom() < label("Label3")->y());
        auto *line = frame->findChild<QFrame *>(QStringLiteral("Line1"));
        auto *text = frame->findChild<RichTextBox *>(QStringLiteral("RichTextBox1"));
        QVERIFY(line && text);
        QVERIFY(label("Label3")->geometry().bottom() < line->y());
        QVERIFY(line->width() > frame->width() * 9 / 10);
        QVERIFY(line->geometry().bottom() < text->y());
        QVERIFY(frame->rect().contains(text->geometry()));
        auto *image = w->findChild<ImageControl *>(QStringLiteral("Image1"));
        QVERIFY(image->geometry().right() < frame->x());
        QVERIFY(w->rect().contains(frame->geometry()));

        QVERIFY(text->isReadOnly());
        QCOMPARE(text->font().pointSize(), 9);
        QVERIFY(text->font().family() == QStringLiteral("宋体")
                || text->font().family() == QStringLiteral("AR PL UMing CN"));
        const QStringList paragraphs = text->text().split(QStringLiteral("\r\n"));
        QCOMPARE(paragraphs.size(), 3);
        QVERIFY(paragraphs[0].contains(QStringLiteral("打印")));
        QVERIFY(paragraphs[1].contains(QStringLiteral("分类")) && paragraphs[1].contains(QStringLiteral("添加"))
                && paragraphs[1].contains(QStringLiteral("删除")));
        QVERIFY(paragraphs[2].contains(QStringLiteral("推荐")));
        // Read-only for the user: typing changes nothing.
        const QString before = text->text();
        QTest::keyClicks(text, QStringLiteral("abc"));
        QCOMPARE(text->text(), before);
    }

    void aboutOpensTheSiteAndANewMail()
    {
        ScriptedDialogs dialogs;
        App::siteAddress() = QStringLiteral("https://cook.example.org");
        AboutWindow *w = Windows::show<AboutWindow>();
        QCOMPARE(w->siteLink()->text(), QStringLiteral("https://cook.example.org"));
        QTest::mouseClick(w->siteLink(), Qt::LeftButton);
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("https://cook.example.org"))});
        QTest::mouseClick(w->mailLink(), Qt::LeftButton);
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls.last(), QUrl(QStringLiteral("mailto:cook@zaoxiangju.example.com")));
        QCOMPARE(catcher.urls.last().scheme(), QStringLiteral("mailto"));
        // A click on the captions opens nothing.
        QTest::mouseClick(w->mailCaption(), Qt::LeftButton);
        QTest::mouseClick(w->version(), Qt::LeftButton);
        QCOMPARE(catcher.urls.size(), 2);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(Windows::loaded<AboutWindow>(), w);

        // Without a mouse: both addresses are Tab stops that Enter opens, and
        // a screen reader finds each as a link it can press.
        QVERIFY(w->siteLink()->focusPolicy() & Qt::TabFocus);
        QVERIFY(w->mailLink()->focusPolicy() & Qt::TabFocus);
        QTest::keyClick(w->siteLink(), Qt::Key_Return);
        QCOMPARE(catcher.urls.size(), 3);
        QCOMPARE(catcher.urls.last(), QUrl(QStringLiteral("https://cook.example.org")));
        QAccessibleInterface *link = QAccessible::queryAccessibleInterface(w->mailLink());
        QVERIFY(link && link->actionInterface());
        QCOMPARE(link->role(), QAccessible::Link);
        QCOMPARE(link->text(QAccessible::Name), QStringLiteral("cook@zaoxiangju.example.com"));
        QVERIFY(link->state().focusable);
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(catcher.urls.size(), 4);
        QCOMPARE(catcher.urls.last().scheme(), QStringLiteral("mailto"));
    }
};

int main(int argc, char **argv)
{
    prepareWebEngine();
    QApplication app(argc, argv);
    TestWebWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webwindows.moc"
