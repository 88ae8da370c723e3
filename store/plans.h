#pragma once
// What the cook plans with the catalogue: the dishes of the week's menu and
// of the shopping list, and a few remembered settings (what is at hand, the
// staples). They live in tables of their own beside "01" and "02"
// (store/storeplans.cpp), "plan_dishes" (list, place, position, dish, name,
// servings) and "plan_notes" (key, value), made by the first write that
// puts something in them, never by a read; "01" and "02" are never touched.
#include <QHash>
#include <QString>
#include <QVector>
#include <QtGlobal>

// One dish of a list: where it stands (a week's place; 0 in the shopping
// list), its id in "01", its name as it was when it was put there, and
// how many people it is meant for.
struct PlanRow {
    int place = 0;
    qint64 dish = 0;
    QString name;
    int servings = 0;
    bool operator==(const PlanRow &) const = default;
};

struct Plans {
    QHash<QString, QVector<PlanRow>> lists;   // by list name, in order
    QHash<QString, QString> notes;
};

namespace PlanLists {
inline const QString Week = QStringLiteral("week");
inline const QString Shopping = QStringLiteral("shopping");
}
