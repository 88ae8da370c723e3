// 一周菜单: the places, the filling and the text.
#include "core/weekplan.h"

namespace Week {

QString dayName(int day)
{
    static const QStringList names = {QStringLiteral("周一"), QStringLiteral("周二"), QStringLiteral("周三"),
                                      QStringLiteral("周四"), QStringLiteral("周五"), QStringLiteral("周六"),
                                      QStringLiteral("周日")};
    return names.value(day);
}

QString mealName(int meal) { return meal == 0 ? QStringLiteral("午饭") : QStringLiteral("晚饭"); }

QString placeName(int place) { return dayName(place / Meals) + QLatin1Char(' ') + mealName(place % Meals); }

QDate comingMonday(const QDate &today) { return today.addDays((8 - today.dayOfWeek()) % 7); }

bool Plan::contains(qint64 id) const
{
    for (const QList<Entry> &place : places) {
        for (const Entry &e : place) {
            if (e.id == id)
                return true;
        }
    }
    return false;
}

int Plan::dishCount() const
{
    int count = 0;
    for (const QList<Entry> &place : places)
        count += int(place.size());
    return count;
}

QList<Entry> Plan::allDishes() const
{
    QList<Entry> all;
    for (const QList<Entry> &place : places)
        all << place;
    return all;
}

QVector<Candidate> choose(const QVector<Candidate> &all, const QSet<QString> &categories, const QSet<QString> &tags)
{
    QVector<Candidate> chosen;
    for (const Candidate &c : all) {
        if (!categories.isEmpty() && !categories.contains(c.category))
            continue;
        const bool tagged = tags.isEmpty() || std::any_of(c.tags.begin(), c.tags.end(),
                                                          [&](const QString &t) { return tags.contains(t); });
        if (tagged)
            chosen << c;
    }
    return chosen;
}

QString Filled::message() const
{
    return complete ? QString() : QStringLiteral("可选的菜只有 %1 道，排不满一周。").arg(available);
}

namespace {
// The pool's dishes not yet in the week, each once, in a random order.
QVector<Candidate> shuffledFree(const Plan &plan, const QVector<Candidate> &pool, const Draw &draw, int *distinct)
{
    QVector<Candidate> free;
    QSet<qint64> seen;
    for (const Candidate &c : pool) {
        if (seen.contains(c.id))
            continue;
        seen.insert(c.id);
        if (!plan.contains(c.id))
            free << c;
    }
    if (distinct)
        *distinct = int(seen.size());
    for (qsizetype i = free.size() - 1; i > 0; --i)
        std::swap(free[i], free[qsizetype(draw(quint32(i + 1)))]);
    return free;
}
} // namespace

Filled fill(Plan &plan, const QVector<Candidate> &pool, int perPlace, const Draw &draw)
{
    Filled filled;
    QVector<Candidate> free = shuffledFree(plan, pool, draw, &filled.available);
    for (QList<Entry> &place : plan.places) {
        while (place.size() < perPlace && !free.isEmpty()) {
            const Candidate c = free.takeLast();
            place << Entry{c.id, c.name};
            ++filled.added;
        }
        if (place.size() < perPlace)
            filled.complete = false;
    }
    return filled;
}

bool replace(Plan &plan, int place, int index, const QVector<Candidate> &pool, const Draw &draw)
{
    if (place < 0 || place >= Places || index < 0 || index >= plan.places[size_t(place)].size())
        return false;
    const QVector<Candidate> free = shuffledFree(plan, pool, draw, nullptr);
    if (free.isEmpty())
        return false;
    plan.places[size_t(place)][index] = Entry{free.last().id, free.last().name};
    return true;
}

QStringList lines(const Plan &plan)
{
    QStringList out;
    for (int place = 0; place < Places; ++place) {
        QStringList names;
        for (const Entry &e : plan.places[size_t(place)])
            names << e.name;
        out << placeName(place) + QStringLiteral("：")
                   + (names.isEmpty() ? QStringLiteral("（空）") : names.join(QStringLiteral("、")));
    }
    return out;
}

QString text(const Plan &plan) { return lines(plan).join(QLatin1Char('\n')) + QLatin1Char('\n'); }

} // namespace Week
