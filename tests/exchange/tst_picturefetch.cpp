// Pictures fetched from a small HTTP server inside the test.
#include "exchange/picturefetch.h"

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

static QByteArray png()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}

static QByteArray answer(const QByteArray &head, const QByteArray &body)
{ return "HTTP/1.1 " + head + "\r\nConnection: close\r\n\r\n" + body; }

// Answers by path; a path it does not know is never answered.
struct Server : QTcpServer {
    QHash<QByteArray, QByteArray> answers{{"/pic", answer("200 OK\r\nContent-Type: image/png", png())}};
    int open = 0;
    Server()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                ++open;
                connect(socket, &QTcpSocket::disconnected, this, [this] { --open; });
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->peek(8192).contains("\r\n\r\n"))
                        return;
                    const QByteArray path = socket->readAll().split(' ').value(1);
                    if (answers.contains(path))
                        socket->write(answers.value(path)), socket->disconnectFromHost();
                });
            }
        });
    }
    QUrl url(const char *path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(serverPort()) + path); }
};

class TestPictureFetch : public QObject {
    Q_OBJECT
private slots:
    void outcomes()
    {
        QTemporaryDir dir;
        QVERIFY(QImage::fromData(png()).save(dir.filePath("local.png")));
        Server server;
        server.answers.insert({
            {"/untyped", answer("200 OK", png())},
            {"/moved", answer("302 Found\r\nLocation: /pic\r\nContent-Type: text/html", "<p>moved</p>")},
            {"/page", answer("200 OK\r\nContent-Type: text/html", png())},
            {"/fake", answer("200 OK\r\nContent-Type: image/png", QByteArray(200, 'x'))},
            {"/big", answer("200 OK\r\nContent-Type: image/png", png() + QByteArray(5000, '\0'))},
        });
        const QVector<PictureJob> jobs = {   // the first three are fetched
            {1, server.url("/pic")},  {2, server.url("/untyped")}, {3, server.url("/moved")},
            {4, server.url("/page")}, {5, server.url("/fake")},    {6, server.url("/big")},
            {7, server.url("/silent")}, {8, QUrl::fromLocalFile(dir.filePath("local.png"))},
        };
        PictureFetch fetch(dir.path(), {2, 1000, 1000, 60000, 5});
        QHash<int, QString> outcome;   // key -> file, or "" when failed
        connect(&fetch, &PictureFetch::fetched, this, [&](int key, const QString &file) { outcome[key] = file; });
        connect(&fetch, &PictureFetch::failed, this, [&](int key) { outcome[key] = QString(); });
        QSignalSpy finished(&fetch, &PictureFetch::finished);
        QVERIFY(fetch.start(jobs));
        QVERIFY(finished.wait(10000));
        for (const PictureJob &job : jobs) {
            const QString file = outcome.value(job.key, QStringLiteral("?"));
            const bool picture = file == dir.filePath(QString("%1.png").arg(job.key)) && !QImage(file).isNull();
            QVERIFY2(job.key <= 3 ? picture : file.isEmpty(), qPrintable(job.url.toString()));
        }
        QCOMPARE(finished, (QList<QVariantList>{{3, 5}}));
    }

    void stopping()
    {
        Server server;
        QTemporaryDir dir;
        // Cancelled with one running and one waiting: both count failed.
        PictureFetch fetch(dir.path(), {1, 60000, 1000, 60000, 5});
        QSignalSpy fetched(&fetch, &PictureFetch::fetched), finished(&fetch, &PictureFetch::finished);
        fetch.start({{1, server.url("/pic")}, {2, server.url("/silent")}, {3, server.url("/silent")}});
        QVERIFY(fetched.wait());
        fetch.cancel();
        QCOMPARE(finished, (QList<QVariantList>{{1, 2}}));
        QTRY_COMPARE(server.open, 0);
        // Out of time for the whole batch.
        PictureFetch late(dir.path(), {4, 60000, 1000, 300, 5});
        QSignalSpy lateFinished(&late, &PictureFetch::finished);
        late.start({{4, server.url("/silent")}});
        QTRY_COMPARE(lateFinished, (QList<QVariantList>{{0, 1}}));
        // Deleted mid-way: the requests are dropped, nothing is said.
        auto *gone = new PictureFetch(dir.path());
        QSignalSpy said(gone, &PictureFetch::failed);
        gone->start({{5, server.url("/silent")}, {6, server.url("/silent")}});
        QTRY_COMPARE(server.open, 2);
        delete gone;
        QTRY_COMPARE(server.open, 0);
        QVERIFY(said.isEmpty());
    }
};

QTEST_MAIN(TestPictureFetch)
#include "tst_picturefetch.moc"
