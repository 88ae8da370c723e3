#include "core/safetycopy.h"

#include "core/catalogue.h"
#include "core/dialogs.h"

#include <QDateTime>
#include <QFile>

bool SafetyCopyFirst(QWidget *parent, const Catalogue &catalogue, Backup::Reason reason)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (reason == Backup::Reason::Edit && Backup::HasEditCopy(catalogue.storePath(), now.date()))
        return true;
    const StoreResult<QString> copy = Backup::MakeCopy(catalogue.storePath(), reason, now);
    // A file that cannot be read (missing, damaged, locked) cannot be changed
    // either: the change goes ahead and says so itself.
    if (copy || copy.error().kind != StoreError::NoBackup)
        return true;
    const QString question = QStringLiteral("无法创建备份：") + copy.error().userText()
                             + QStringLiteral("\r\n\r\n仍要继续吗？");
    return DialogService::instance().message(parent, question, QString(), DialogService::YesNo,
                                             DialogService::No, DialogService::Warning)
           == DialogService::Yes;
}

SafetyCopyAhead::SafetyCopyAhead(Catalogue &catalogue, Backup::Reason reason)
    : m_catalogue(catalogue), m_reason(reason), m_now(QDateTime::currentDateTime())
{
    const QString path = catalogue.storePath();
    m_before = FileStamp::of(path);
    m_thread = std::thread([this, path] {
        auto tell = [this](bool &flag) {
            const std::lock_guard lock(m_mutex);
            flag = true;
            m_progress.notify_all();
        };
        m_part = Backup::CopyToPart(path, m_reason, m_now, &m_stop, [&] { tell(m_read); });
        m_after = FileStamp::of(path);
        tell(m_ended);
    });
}

SafetyCopyAhead::~SafetyCopyAhead()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    m_thread.join();
    if (m_part && *m_part)
        QFile::remove(**m_part);
}

bool SafetyCopyAhead::take(QWidget *parent)
{
    return placeFinishedCopy() || SafetyCopyFirst(parent, m_catalogue, m_reason);
}

bool SafetyCopyAhead::placeFinishedCopy()
{
    if (m_thread.joinable())
        m_thread.join();
    const QString path = m_catalogue.storePath();
    // Whole, and of the file as it still is: nothing committed since.
    if (m_part && *m_part && m_before == m_after && FileStamp::of(path) == m_before
        && Backup::FinishCopy(path, **m_part, m_now))
        return true;
    if (m_part && *m_part)
        QFile::remove(**m_part);
    m_part.reset();
    return false;
}

bool SafetyCopyAhead::awaitRead()
{
    std::unique_lock lock(m_mutex);
    m_progress.wait(lock, [this] { return m_read || m_ended; });
    return m_read;
}

std::optional<StoreResult<DeleteOutcome>> SafetyCopyAhead::deleteCategory(QWidget *parent, const QString &category)
{
    if (m_thread.joinable() && awaitRead() && FileStamp::of(m_catalogue.storePath()) == m_before) {
        bool asked = false;
        bool placed = false;
        // Asked under the delete's lock, when nobody else can commit: the
        // file as it is then is the file before the delete, and it must be
        // the one copied.
        StoreResult<DeleteOutcome> deleted = m_catalogue.deleteCategory(category, [&] {
            asked = true;
            return placed = placeFinishedCopy();
        });
        // Done, or failed before the copy was needed (nothing deleted).
        if (placed || !asked)
            return deleted;
    }
    if (!take(parent))
        return std::nullopt;
    return m_catalogue.deleteCategory(category);
}
