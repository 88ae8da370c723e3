#include "exchange/exportjob.h"

#include "core/catalogue.h"
#include "exchange/exportsnapshot.h"

#include <QFutureWatcher>

ExportJob::ExportJob(Catalogue &catalogue, const QString &category, ExportFormat format, const QString &out,
                     QObject *parent)
    : QObject(parent), m_catalogue(catalogue), m_category(category), m_format(format), m_out(out)
{
}

ExportJob::~ExportJob()
{
    // Gone before the end: the writing is stopped (and cleans up after
    // itself) and waited for.
    if (m_progress)
        m_progress->cancel();
    m_writing.wait();
    if (m_turnHeld)
        m_catalogue.endExchange();
}

ExportJob::Refusal ExportJob::start()
{
    if (!m_catalogue.beginExchange())
        return Refusal::Busy;
    const StoreResult<ExportRows> rows = m_catalogue.everything();
    std::optional<ExportSnapshot> snapshot;
    if (rows)
        snapshot = makeSnapshot(*rows, m_category, m_catalogue.dataFolder(), QDate::currentDate());
    if (!snapshot) {
        m_catalogue.endExchange();
        if (rows)
            return Refusal::NoSuchCategory;
        m_unreadable = rows.error().userText();
        return Refusal::Unreadable;
    }
    m_turnHeld = true;
    m_progress = std::make_shared<Progress>();
    m_writing = Background::start(m_progress, [format = m_format, snapshot = std::move(*snapshot), out = m_out,
                                               progress = m_progress] {
        return writeCookbook(format, snapshot, out, *progress);
    });
    m_watcher = new QFutureWatcher<ExportOutcome>(this);
    connect(m_watcher, &QFutureWatcherBase::finished, this, [this] {
        m_outcome = m_writing.future().result();
        m_catalogue.endExchange();
        m_turnHeld = false;
        emit finished();
    });
    m_watcher->setFuture(m_writing.future());
    emit writingBegun(QFuture<void>(m_writing.future()), m_progress);
    return Refusal::None;
}
