#include "app/catalogue.h"

#include "app/cataloguemodel.h"
#include "app/frmmain.h"
#include "app/globals.h"
#include "app/registry.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSaveFile>
#include <QTreeView>

namespace {
// temp.txt is a summary nobody reads back, so it is rewritten in place and
// not forced to disk: a forced write costs more than building the whole
// tree. Only a temp.txt that cannot be opened for writing (marked read-only
// in a writable folder) is replaced whole, as a new file.
class SummaryFile {
public:
    explicit SummaryFile(const QString &path) : m_path(path), m_inPlace(path), m_replace(path) {}

    bool open()
    {
        m_existed = QFileInfo::exists(m_path);
        if (m_inPlace.open(QIODevice::ReadWrite))   // keeps the old lines until the store has answered
            return true;
        m_replacing = true;
        return m_replace.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    // The store failed: leave temp.txt as it was (and make none).
    void abandon()
    {
        if (m_replacing) {
            m_replace.cancelWriting();
            return;
        }
        m_inPlace.close();
        if (!m_existed)
            QFile::remove(m_path);
    }
    bool write(const QByteArray &bytes)
    {
        if (m_replacing)
            return m_replace.write(bytes) == bytes.size() && m_replace.commit();
        const bool ok = m_inPlace.resize(0) && m_inPlace.write(bytes) == bytes.size() && m_inPlace.flush();
        m_inPlace.close();
        return ok;
    }
    QString errorString() const { return m_replacing ? m_replace.errorString() : m_inPlace.errorString(); }

private:
    QString m_path;
    QFile m_inPlace;
    QSaveFile m_replace;
    bool m_existed = false;
    bool m_replacing = false;
};

RebuildTiming &lastTiming()
{
    static RebuildTiming timing;
    return timing;
}
} // namespace

RebuildTiming LastRebuildTiming() { return lastTiming(); }

StoreStatus RebuildCatalogue()
{
    frmmain *main = Windows::get<frmmain>();
    QElapsedTimer clock;
    clock.start();

    // temp.txt is written anew at every rebuild; when it cannot be written,
    // or the store cannot be read, the tree is left as it was.
    SummaryFile summary(App::summaryPath());
    if (!summary.open())
        return StoreError{StoreError::ReadOnly, summary.errorString()};
    StoreResult<CatalogueData> data = RecipeStore::LoadCatalogue(App::storePath());
    if (!data) {
        summary.abandon();
        return data.error();
    }
    const qint64 storeNs = clock.nsecsElapsed();

    CatalogueModel *model = main->catalogue();
    model->rebuild(*data);

    QListWidget *list = main->List1();
    list->clear();
    list->addItems(data->categories);

    const bool written = summary.write(model->summary());

    // Net effect: the root expanded, every category collapsed, the root selected.
    QTreeView *tv = main->Tv();
    const QModelIndex root = model->rootIndex();
    tv->collapseAll();
    if (model->rowCount(root) > 0)
        tv->expand(root);
    tv->setCurrentIndex(root);

    App::TotalDishes() = data->totalDishes;
    main->setWindowTitle(QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(data->totalDishes));
    main->Text1()->setFocus();
    lastTiming() = {storeNs, clock.nsecsElapsed() - storeNs};
    if (!written)
        return StoreError{StoreError::ReadOnly, summary.errorString()};
    return Done{};
}

void ShowDish(qint64 dishId)
{
    const auto found = RecipeStore::FindDishById(App::storePath(), dishId);
    if (!found || !found->has_value())
        return;   // the display keeps what it showed before
    Windows::get<frmmain>()->showDishRecord(**found);
}

void ShowDish(const QString &category, const QString &name)
{
    const auto found = RecipeStore::FindDish(App::storePath(), category, name);
    if (!found || !found->has_value())
        return;
    Windows::get<frmmain>()->showDishRecord(**found);
}
