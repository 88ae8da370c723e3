#include "core/safetycopy.h"

#include "core/background.h"
#include "core/catalogue.h"
#include "core/dialogs.h"

#include <QDateTime>
#include <QFile>

bool safetyCopyFirst(QWidget *parent, const Catalogue &catalogue, Backup::Reason reason)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (reason == Backup::Reason::Edit && Backup::hasEditCopy(catalogue.storePath(), now.date()))
        return true;
    const StoreResult<QString> copy = Backup::makeCopy(catalogue.storePath(), reason, now);
    // A file that cannot be read (missing, damaged, locked) cannot be changed
    // either: the change goes ahead and says so itself.
    if (copy || copy.error().kind != StoreError::NoBackup)
        return true;
    const QString question = QStringLiteral("无法创建备份：") + copy.error().userText()
                             + QStringLiteral("\r\n\r\n不做备份，仍要继续吗？");
    return DialogService::instance().message(parent, question, QString(), DialogService::YesNo,
                                             DialogService::No, DialogService::Stop)
           == DialogService::Yes;
}

SafetyCopyAhead::SafetyCopyAhead(Catalogue &catalogue, Backup::Reason reason)
    : m_catalogue(catalogue), m_reason(reason), m_now(QDateTime::currentDateTime())
{
    const QString path = catalogue.storePath();
    m_before = FileStamp::of(path);
    m_copy = Background::start([this, path] {
        StoreResult<QString> part = Backup::copyToPart(path, m_reason, m_now, &m_stop);
        return Part{std::move(part), FileStamp::of(path)};
    });
}

SafetyCopyAhead::~SafetyCopyAhead()
{
    if (!m_copy.held())
        return;
    m_stop = true;
    const Part part = m_copy.take();
    if (part.path)
        QFile::remove(*part.path);
}

bool SafetyCopyAhead::take(QWidget *parent)
{
    return placeFinishedCopy() || safetyCopyFirst(parent, m_catalogue, m_reason);
}

bool SafetyCopyAhead::placeFinishedCopy()
{
    if (!m_copy.held())
        return false;
    const Part part = m_copy.take();
    if (!part.path)
        return false;
    const QString path = m_catalogue.storePath();
    // Whole, and of the file as it still is: nothing committed since.
    if (m_before == part.after && FileStamp::of(path) == m_before && Backup::finishCopy(path, *part.path, m_now))
        return true;
    QFile::remove(*part.path);
    return false;
}
