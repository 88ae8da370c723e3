#include "exchange/importfetch.h"

#include "core/catalogue.h"
#include "core/picturestore.h"
#include "exchange/picturefetch.h"

#include <QEventLoop>

ImportPictureFetch::ImportPictureFetch(Catalogue &catalogue, const PreparedImport &prepared,
                                       const ImportOutcome &outcome, QObject *parent)
    : QObject(parent), m_catalogue(catalogue)
{
    for (int i = 0; i < outcome.ids.size() && i < prepared.pictureUrls.size(); ++i) {
        const QUrl &url = prepared.pictureUrls.at(i);
        if (outcome.ids.at(i) != 0 && url.isValid() && !url.isEmpty())
            m_jobs.push_back({int(i), url});
    }
    m_ids = outcome.ids;
    m_total = int(m_jobs.size());
}

ImportPictureFetch::~ImportPictureFetch() { delete m_fetch; }

void ImportPictureFetch::start()
{
    if (m_jobs.isEmpty() || m_fetch) {
        emit finished();
        return;
    }
    m_fetch = new PictureFetch(m_scratch.path());
    connect(m_fetch, &PictureFetch::fetched, this, &ImportPictureFetch::give);
    connect(m_fetch, &PictureFetch::failed, this, [this] {
        ++m_notFetched;
        ++m_done;
    });
    connect(m_fetch, &PictureFetch::finished, this, &ImportPictureFetch::finished);
    if (!m_scratch.isValid() || !m_fetch->start(m_jobs)) {
        m_notFetched = int(m_jobs.size());
        emit finished();
    }
}

void ImportPictureFetch::cancel()
{
    if (m_fetch)
        m_fetch->cancel();
}

void ImportPictureFetch::give(int key, const QString &file)
{
    ++m_done;
    const StoreResult<QString> kept = keepPicture(m_catalogue.dataFolder(), file);
    const StoreResult<bool> given = kept ? m_catalogue.setPicture(m_ids.at(key), *kept) : StoreResult<bool>(kept.error());
    if (!given || !*given)
        ++m_notFetched;
}

int fetchImportPicturesNow(Catalogue &catalogue, const PreparedImport &prepared, const ImportOutcome &outcome)
{
    ImportPictureFetch fetch(catalogue, prepared, outcome);
    if (fetch.jobs() == 0)
        return 0;
    QEventLoop loop;
    QObject::connect(&fetch, &ImportPictureFetch::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    fetch.start();
    loop.exec();
    return fetch.notFetched();
}
