#include "exchange/importjob.h"

#include "core/catalogue.h"
#include "exchange/importfetch.h"

#include <QFutureWatcher>

#include <algorithm>

ImportJob::ImportJob(Catalogue &catalogue, const QStringList &paths, const QString &category, QObject *parent)
    : QObject(parent), m_catalogue(catalogue), m_paths(paths), m_category(category)
{
}

ImportJob::~ImportJob()
{
    // Gone before the end (its window closed with the program): the reading
    // is stopped and waited for, the fetching stopped with its fetcher.
    if (m_progress)
        m_progress->cancel();
    m_reading.wait();
    m_keeping.wait();
    delete m_fetch;
    if (m_turnHeld)
        m_catalogue.endExchange();
}

bool ImportJob::start()
{
    m_turnHeld = m_catalogue.beginExchange();
    if (!m_turnHeld)
        return false;
    m_progress = std::make_shared<Progress>();
    m_reading = Background::start(m_progress, [paths = m_paths, category = m_category, keep = keepTraditional,
                                               folder = m_catalogue.dataFolder(), progress = m_progress] {
        return prepareImport(paths, category, folder, *progress, keep);
    });
    m_readingWatcher = new QFutureWatcher<PreparedImport>(this);
    connect(m_readingWatcher, &QFutureWatcherBase::finished, this, &ImportJob::afterReading);
    m_readingWatcher->setFuture(m_reading.future());
    emit stageBegun(Stage::Reading, QFuture<void>(m_reading.future()), m_progress);
    return true;
}

void ImportJob::afterReading()
{
    m_prepared = m_reading.future().result();
    if (m_prepared.cancelled)
        return finish(End::Cancelled);
    const StoreResult<int> fresh = m_catalogue.countNewDishes(m_prepared.dishes);
    if (fresh && *fresh == 0) {
        // Nothing comes in: no safety copy, no write.
        m_outcome.ids = QVector<qint64>(m_prepared.dishes.size(), 0);
        m_outcome.skipped = int(m_prepared.dishes.size());
    } else {
        if (!safetyCopy())
            return finish(End::NoSafetyCopy);
        const StoreResult<ImportOutcome> imported = m_catalogue.importDishes(m_prepared.dishes, m_prepared.marks);
        if (!imported) {
            m_refusal = imported.error().userText();
            return finish(End::NotWritten);
        }
        m_outcome = *imported;
    }
    m_tally = tallyImport(m_prepared, m_outcome);
    keepPictures();
}

void ImportJob::keepPictures()
{
    const bool any = std::any_of(m_prepared.pictureFiles.cbegin(), m_prepared.pictureFiles.cend(),
                                 [](const QString &file) { return !file.isEmpty(); });
    if (!any)
        return fetchPictures();
    m_progress = std::make_shared<Progress>();
    m_keeping = Background::start(m_progress, [prepared = m_prepared, outcome = m_outcome,
                                               folder = m_catalogue.dataFolder(), progress = m_progress] {
        return keepImportPictures(prepared, outcome, folder, *progress);
    });
    m_keepingWatcher = new QFutureWatcher<QVector<std::pair<int, QString>>>(this);
    connect(m_keepingWatcher, &QFutureWatcherBase::finished, this, &ImportJob::afterKeeping);
    m_keepingWatcher->setFuture(m_keeping.future());
    emit stageBegun(Stage::KeepingPictures, QFuture<void>(m_keeping.future()), m_progress);
}

void ImportJob::afterKeeping()
{
    // A dish whose picture could not be kept is left without one.
    for (const auto &[index, path] : m_keeping.future().result()) {
        const StoreResult<bool> given = m_catalogue.setPicture(m_outcome.ids.at(index), path);
        if (path.isEmpty() || !given || !*given)
            ++m_tally.picturesNotKept;
    }
    m_prepared.scratches.clear();
    fetchPictures();
}

void ImportJob::fetchPictures()
{
    m_fetch = new ImportPictureFetch(m_catalogue, m_prepared, m_outcome);
    if (m_fetch->jobs() == 0)
        return finish(End::Done);
    m_progress = std::make_shared<Progress>();
    Background::reportThrough(*m_progress, m_fetching);
    connect(m_fetch, &ImportPictureFetch::finished, this, [this] {
        m_tally.picturesNotFetched = m_fetch->notFetched();
        m_fetching.finish();
        finish(End::Done);
    }, Qt::QueuedConnection);
    m_fetching.start();
    emit stageBegun(Stage::Fetching, m_fetching.future(), m_progress);
    m_fetch->start(*m_progress);
}

void ImportJob::finish(End end)
{
    if (m_turnHeld)
        m_catalogue.endExchange();
    m_turnHeld = false;
    m_end = end;
    emit finished(end);
}
