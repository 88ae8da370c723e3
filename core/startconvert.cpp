#include "core/startconvert.h"

#include "core/dialogs.h"
#include "store/backup.h"
#include "store/jetconvert.h"

#include <QFile>

StartConversion offerConversionAtStart(const QString &dataFolder, const QDateTime &now)
{
    const QString path = dataFolder + QStringLiteral("cate.mdb");
    if (!Jet::isJetFile(path))
        return StartConversion::NotNeeded;
    const Jet::Contents old = Jet::read(path);
    if (old.problem.kind != Jet::Problem::None) {
        tell(nullptr, old.problem.userText());
        return StartConversion::Quit;
    }
    const QString question =
        QStringLiteral("这是 Access 格式的菜谱数据库（%1 道美食，%2 个分类）。\r\n\r\n要把它转换成新格式吗？原来的文件会原样保存在 备份 里。")
            .arg(old.dishes.size())
            .arg(old.categories.size());
    if (DialogService::instance().message(nullptr, question, QString(), DialogService::YesNo, DialogService::Yes,
                                          DialogService::Question)
        != DialogService::Yes)
        return StartConversion::Quit;
    const StoreResult<QString> copy = Backup::copyOriginal(path, now);
    if (!copy) {
        tell(nullptr, QStringLiteral("无法把原来的文件保存到“备份”里，没有转换：") + copy.error().userText());
        return StartConversion::Quit;
    }
    const StoreStatus written = Jet::writeCatalogue(path, old);
    if (!written) {
        QFile::remove(*copy);   // nothing changed: no copy of it either
        tell(nullptr, QStringLiteral("转换失败，原来的文件没有改动：") + written.error().userText());
        return StartConversion::Quit;
    }
    return StartConversion::Converted;
}
