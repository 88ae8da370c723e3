// Pictures fetched by address: a few requests at once, each bounded in time
// and size, the whole batch bounded in time. Whatever goes wrong with one
// picture fails that picture only.
#include "exchange/picturefetch.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <utility>

namespace {

bool fetchable(const QUrl &url)
{
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// The file extension for a format QImageReader named.
QString extensionFor(const QByteArray &format)
{
    QString ext = QString::fromLatin1(format).toLower();
    if (ext == QLatin1String("jpeg"))
        return QStringLiteral("jpg");
    for (const QChar c : std::as_const(ext)) {
        if (!(c.isDigit() || (c >= u'a' && c <= u'z')))
            return QStringLiteral("img");
    }
    return ext.isEmpty() ? QStringLiteral("img") : ext;
}

} // namespace

PictureFetch::PictureFetch(const QString &folder, const PictureFetchLimits &limits, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_limits(limits)
    , m_manager(new QNetworkAccessManager(this))
    , m_deadline(new QTimer(this))
{
    m_limits.parallel = qMax(1, m_limits.parallel);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, &PictureFetch::stopAll);
}

PictureFetch::~PictureFetch()
{
    // Aborting emits finished at once: nobody is listening any more. The
    // replies themselves go with the manager.
    for (auto it = m_active.keyBegin(); it != m_active.keyEnd(); ++it) {
        (*it)->disconnect(this);
        (*it)->abort();
    }
    m_active.clear();
}

bool PictureFetch::start(const QVector<PictureJob> &jobs)
{
    if (m_running)
        return false;
    m_running = true;
    m_fetchedCount = 0;
    m_failedCount = 0;
    m_waiting.clear();
    for (const PictureJob &job : jobs)
        m_waiting.enqueue(job);
    m_deadline->start(m_limits.totalMs);
    QTimer::singleShot(0, this, &PictureFetch::pump);
    return true;
}

void PictureFetch::cancel()
{
    stopAll();
}

void PictureFetch::pump()
{
    while (m_running && m_active.size() < m_limits.parallel && !m_waiting.isEmpty()) {
        const PictureJob job = m_waiting.dequeue();
        if (fetchable(job.url))
            launch(job);
        else if (!report(job.key, {}))
            return;
    }
    finishIfDone();
}

void PictureFetch::launch(const PictureJob &job)
{
    QNetworkRequest request(job.url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    request.setRawHeader("Accept", "image/*");
    QNetworkReply *reply = m_manager->get(request);
    m_active.insert(reply, Active{job.key, {}, false});

    // Owned by the reply: gone with it, and aborting a finished reply is a
    // no-op should it fire late.
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    timer->start(m_limits.requestMs);

    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { inspect(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { receive(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { settle(reply); });
}

// The headers are in: refuse early what says it is too big or not a picture.
void PictureFetch::inspect(QNetworkReply *reply)
{
    const auto it = m_active.find(reply);
    if (it == m_active.end() || !refuses(reply, it->data.size()))
        return;
    it->refused = true;
    reply->abort();   // settles the reply before returning
}

void PictureFetch::receive(QNetworkReply *reply)
{
    const auto it = m_active.find(reply);
    if (it == m_active.end())
        return;
    it->data += reply->readAll();
    if (!refuses(reply, it->data.size()))
        return;
    it->refused = true;
    reply->abort();
}

void PictureFetch::settle(QNetworkReply *reply)
{
    const auto it = m_active.find(reply);
    if (it == m_active.end())
        return;
    Active job = std::move(it.value());
    m_active.erase(it);
    reply->disconnect(this);
    reply->deleteLater();

    QString file;
    if (!job.refused && reply->error() == QNetworkReply::NoError) {
        job.data += reply->readAll();
        if (!refuses(reply, job.data.size()))
            file = keep(job.key, job.data);
    }
    if (report(job.key, file))
        pump();
}

bool PictureFetch::refuses(const QNetworkReply *reply, qint64 received) const
{
    if (received > m_limits.maxBytes)
        return true;
    // A redirect's own headers say nothing about the picture.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400)
        return false;
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
        return true;
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString().trimmed();
    return !type.isEmpty() && !type.startsWith(QLatin1String("image/"), Qt::CaseInsensitive);
}

// Writes the bytes when they read as a picture; the file's path, or empty.
// Only the header is read here: a huge picture is not decoded.
QString PictureFetch::keep(int key, const QByteArray &data) const
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return {};
    const QSize size = reader.size();
    if (size.isValid() && size.isEmpty())
        return {};
    const QString ext = extensionFor(reader.format());

    const QDir dir(m_folder);
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? QStringLiteral("%1.%2").arg(key).arg(ext)
                                    : QStringLiteral("%1-%2.%3").arg(key).arg(n).arg(ext);
        QFile file(dir.absoluteFilePath(name));
        if (file.exists())
            continue;
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return {};
        const bool written = file.write(data) == data.size() && file.flush();
        file.close();
        if (!written) {
            file.remove();
            return {};
        }
        return file.fileName();
    }
    return {};
}

bool PictureFetch::report(int key, const QString &file)
{
    const QPointer<PictureFetch> self(this);
    if (file.isEmpty()) {
        ++m_failedCount;
        emit failed(key);
    } else {
        ++m_fetchedCount;
        emit fetched(key, file);
    }
    return !self.isNull();
}

void PictureFetch::finishIfDone()
{
    if (!m_running || !m_waiting.isEmpty() || !m_active.isEmpty())
        return;
    m_running = false;
    m_deadline->stop();
    emit finished(m_fetchedCount, m_failedCount);
}

// Cancelled, or out of time: what runs is aborted, what waits is given up,
// and each counts failed.
void PictureFetch::stopAll()
{
    if (!m_running || m_stopping)
        return;
    m_stopping = true;
    const QHash<QNetworkReply *, Active> active = std::exchange(m_active, {});
    const QQueue<PictureJob> waiting = std::exchange(m_waiting, {});
    QVector<int> keys;
    for (auto it = active.cbegin(); it != active.cend(); ++it) {
        it.key()->disconnect(this);
        it.key()->abort();
        it.key()->deleteLater();
        keys.append(it->key);
    }
    m_manager->clearConnectionCache();   // no connection left open for later
    for (const PictureJob &job : waiting)
        keys.append(job.key);
    for (const int key : std::as_const(keys)) {
        if (!report(key, {}))
            return;
    }
    m_stopping = false;
    finishIfDone();
}
