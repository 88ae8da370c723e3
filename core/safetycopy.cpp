#include "core/safetycopy.h"

#include "core/catalogue.h"
#include "core/dialogs.h"

#include <QDateTime>

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
