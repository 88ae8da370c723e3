#include "core/startrestore.h"

#include "core/dialogs.h"
#include "store/backup.h"
#include "store/recipestore.h"

#include <QDateTime>
#include <QFile>

bool offerRestoreAtStart(const QString &dataFolder)
{
    const QString path = dataFolder + QStringLiteral("cate.mdb");
    // A quick look, as every start makes it: the file opens, both tables
    // are there and the category table reads (a full check would read
    // every page of a large file).
    if (QFile::exists(path) && RecipeStore(path).ListCategories())
        return false;
    const std::optional<Backup::CopyInfo> newest = Backup::NewestUsableCopy(path);
    if (!newest)
        return false;
    const QString question = QStringLiteral("找不到可用的菜谱数据库 cate.mdb。\r\n\r\n要用最近的备份（%1，%2 道美食）恢复吗？")
                                 .arg(newest->when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                 .arg(newest->dishes);
    if (DialogService::instance().message(nullptr, question, QString(), DialogService::YesNo, DialogService::No,
                                          DialogService::Question)
        != DialogService::Yes)
        return false;
    if (QFile::exists(path)) {
        const QString kept = path + QStringLiteral(".损坏-")
                             + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::rename(path, kept)) {
            tell(nullptr, QStringLiteral("无法把损坏的 cate.mdb 改名保存，没有恢复。"));
            return false;
        }
    }
    const StoreStatus restored = Backup::RestoreCopy(path, newest->path);
    if (!restored)
        tell(nullptr, QStringLiteral("恢复失败：") + restored.error().userText());
    return restored.ok();
}
