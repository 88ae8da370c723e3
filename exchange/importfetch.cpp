#include "exchange/importfetch.h"

#include "core/catalogue.h"
#include "core/picturestore.h"
#include "exchange/picturefetch.h"

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
}

ImportPictureFetch::~ImportPictureFetch()
{
    if (m_progress)
        m_progress->setOnCancel({});
    delete m_fetch;
}

void ImportPictureFetch::start(Progress &progress)
{
    if (m_jobs.isEmpty() || m_fetch) {
        emit finished();
        return;
    }
    m_progress = &progress;
    progress.begin(int(m_jobs.size()));
    m_fetch = new PictureFetch(m_scratch.path());
    progress.setOnCancel([fetch = m_fetch] { fetch->cancel(); });
    connect(m_fetch, &PictureFetch::fetched, this, &ImportPictureFetch::give);
    connect(m_fetch, &PictureFetch::failed, this, [this] {
        ++m_notFetched;
        m_progress->stepDone();
    });
    connect(m_fetch, &PictureFetch::finished, this, &ImportPictureFetch::finished);
    if (!m_scratch.isValid() || !m_fetch->start(m_jobs)) {
        m_notFetched = int(m_jobs.size());
        emit finished();
    }
}

void ImportPictureFetch::give(int key, const QString &file)
{
    m_progress->stepDone();
    const StoreResult<QString> kept = keepPicture(m_catalogue.dataFolder(), file);
    const StoreResult<bool> given = kept ? m_catalogue.setPicture(m_ids.at(key), *kept) : StoreResult<bool>(kept.error());
    if (!given || !*given)
        ++m_notFetched;
}
