#pragma once
// 一周菜单: seven days from a Monday (周一 … 周日) × 午饭/晚饭, fourteen
// places, each holding dishes. Filling the empty places draws dishes from a
// pool at random, never the same dish twice in the week. QtCore only.
#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <functional>

namespace Week {

inline constexpr int Days = 7;
inline constexpr int Meals = 2;
inline constexpr int Places = Days * Meals;   // place = day * Meals + meal

QString dayName(int day);     // 周一 … 周日
QString mealName(int meal);   // 午饭, 晚饭
// "周一 午饭"
QString placeName(int place);
// The Monday the week starts on: today when it is a Monday, else the next.
QDate comingMonday(const QDate &today);

struct Entry {
    qint64 id = 0;
    QString name;
    bool operator==(const Entry &) const = default;
};

struct Plan {
    QDate monday;
    std::array<QList<Entry>, Places> places;

    bool contains(qint64 id) const;
    int dishCount() const;
    // Every dish of the week, place by place.
    QList<Entry> allDishes() const;
};

// A dish the filling may choose, with what the cook's choice filters by.
struct Candidate {
    qint64 id = 0;
    QString name;
    QString category;    // trimmed; dishes of no listed category under 未分类
    QStringList tags;
};

// The candidates of the chosen categories (none chosen: all) that carry
// one of the chosen tags (none chosen: no filter).
QVector<Candidate> choose(const QVector<Candidate> &all, const QSet<QString> &categories, const QSet<QString> &tags);

// What a fill did.
struct Filled {
    int added = 0;
    bool complete = true;   // every place holds `perPlace` dishes (or more)
    int available = 0;      // distinct dishes in the pool
    // "可选的菜只有 N 道，排不满一周。" when not complete, else empty.
    QString message() const;
};

// Random numbers in [0, bound).
using Draw = std::function<quint32(quint32 bound)>;

// Fills every place up to `perPlace` dishes from `pool`, in a random order,
// never a dish already in the week; a place holding more keeps them.
Filled fill(Plan &plan, const QVector<Candidate> &pool, int perPlace, const Draw &draw);
// Replaces the dish at `index` of `place` with another of the pool not yet
// in the week; false when there is none.
bool replace(Plan &plan, int place, int index, const QVector<Candidate> &pool, const Draw &draw);

// The week as text, one line a place, all fourteen:
// "周一 午饭：红烧肉、番茄炒蛋", an empty place "周一 午饭：（空）".
QStringList lines(const Plan &plan);
QString text(const Plan &plan);

} // namespace Week
