#pragma once
// Fetching the pictures an import names by address (http and https only)
// into a folder the caller owns, without blocking the event loop. Lives on
// the thread that owns it; every signal comes from that thread's loop.
// Deleting the fetcher mid-way aborts what is running and says nothing more.
#include <QHash>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QUrl>
#include <QVector>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

struct PictureJob {
    int key = 0;    // the caller's own, handed back in the signals
    QUrl url;
};

struct PictureFetchLimits {
    int parallel = 4;                       // requests at once
    int requestMs = 10 * 1000;              // one request, redirects included
    qint64 maxBytes = 20LL * 1024 * 1024;   // one picture, as received
    int totalMs = 60 * 1000;                // the whole batch
    int maxRedirects = 5;
};

class PictureFetch : public QObject
{
    Q_OBJECT
public:
    explicit PictureFetch(const QString &folder, const PictureFetchLimits &limits = {},
                          QObject *parent = nullptr);
    ~PictureFetch() override;

    // Starts a batch; false (and nothing done) while one is still running.
    // The outcome comes through the signals, never from within this call.
    bool start(const QVector<PictureJob> &jobs);
    // Stops what runs and what waits: each counts failed; finished follows
    // before this returns. Nothing when no batch is running.
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    // `file` is an absolute path in the folder, named after the key with
    // the extension of the picture's format.
    void fetched(int key, const QString &file);
    void failed(int key);
    // Once a batch, when every job has been fetched or counted failed.
    void finished(int fetchedCount, int failedCount);

private:
    struct Active {
        int key = 0;
        QByteArray data;
        bool refused = false;   // too big, or not a picture
    };

    void pump();
    void launch(const PictureJob &job);
    void inspect(QNetworkReply *reply);
    void receive(QNetworkReply *reply);
    void settle(QNetworkReply *reply);
    bool refuses(const QNetworkReply *reply, qint64 received) const;
    QString keep(int key, const QByteArray &data) const;
    // Emits fetched or failed; false when a receiver deleted this meanwhile.
    bool report(int key, const QString &file);
    void finishIfDone();
    void stopAll();

    QString m_folder;
    PictureFetchLimits m_limits;
    QNetworkAccessManager *m_manager = nullptr;
    QTimer *m_deadline = nullptr;
    QQueue<PictureJob> m_waiting;
    QHash<QNetworkReply *, Active> m_active;
    bool m_running = false;
    bool m_stopping = false;
    int m_fetchedCount = 0;
    int m_failedCount = 0;
};
