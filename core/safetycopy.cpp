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

SafetyCopyAhead::SafetyCopyAhead(const Catalogue &catalogue, Backup::Reason reason)
    : m_catalogue(catalogue), m_reason(reason), m_now(QDateTime::currentDateTime())
{
    const QString path = catalogue.storePath();
    m_before = FileStamp::of(path);
    m_thread = std::thread([this, path] {
        m_part = Backup::CopyToPart(path, m_reason, m_now, &m_stop);
        m_after = FileStamp::of(path);
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
    m_thread.join();
    const QString path = m_catalogue.storePath();
    // Whole, and of the file as it still is: nothing committed since.
    if (m_part && *m_part && m_before == m_after && FileStamp::of(path) == m_before
        && Backup::FinishCopy(path, **m_part, m_now))
        return true;
    if (m_part && *m_part)
        QFile::remove(**m_part);
    return SafetyCopyFirst(parent, m_catalogue, m_reason);
}
