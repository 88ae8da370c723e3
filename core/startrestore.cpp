#include "core/startrestore.h"

#include "core/dialogs.h"
#include "store/backup.h"
#include "store/jetfile.h"
#include "store/recipestore.h"

bool offerRestoreAtStart(const QString &dataFolder)
{
    const QString path = dataFolder + QStringLiteral("cate.mdb");
    // An old catalogue in the Jet format is no damaged file: it is converted.
    if (Jet::isJetFile(path))
        return false;
    const StoreStatus usable = RecipeStore(path).checkUsable();
    if (usable)
        return false;
    switch (usable.error().kind) {
    case StoreError::Busy:
        // A healthy file another program is writing: nothing of it is ours
        // to move.
        tell(nullptr, usable.error().userText());
        return false;
    case StoreError::Missing:
    case StoreError::NotADatabase:
    case StoreError::WrongLayout:
        break;
    default:
        return false;   // the windows say what is wrong when it is used
    }
    const std::optional<Backup::CopyInfo> newest = Backup::newestUsableCopy(path);
    if (!newest)
        return false;
    const QString question = QStringLiteral("找不到可用的菜谱数据库 cate.mdb。\r\n\r\n要用最近的备份（%1，%2 道美食）恢复吗？")
                                 .arg(newest->when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                 .arg(newest->dishes);
    return DialogService::instance().message(nullptr, question, QString(), DialogService::YesNo, DialogService::No,
                                             DialogService::Question)
           == DialogService::Yes;
}
