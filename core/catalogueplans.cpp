// The catalogue: the cook's plans (the week's menu, the shopping list).
#include "core/catalogue.h"

const Plans &Catalogue::plans() const
{
    if (!m_plans) {
        StoreResult<Plans> read = store().readPlans();
        m_plans = read ? std::move(read.value()) : Plans();
    }
    return *m_plans;
}

StoreStatus Catalogue::setPlan(const QString &list, const QVector<PlanRow> &rows)
{
    RecipeStore &writer = store();
    const FileStamp before = FileStamp::of(storePath());
    const StoreStatus written = writer.writePlan(list, rows);
    if (written) {
        m_plans.reset();
        followSideWrite(before);
        emit plansChanged(list);
    }
    return written;
}

StoreStatus Catalogue::setPlanNote(const QString &key, const QString &value)
{
    RecipeStore &writer = store();
    const FileStamp before = FileStamp::of(storePath());
    const StoreStatus written = writer.writePlanNote(key, value);
    if (written) {
        m_plans.reset();
        followSideWrite(before);
        emit plansChanged(QString());
    }
    return written;
}
