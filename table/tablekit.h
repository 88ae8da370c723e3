#pragma once
// What the pantry, week and shopping windows share: the synonym and stall
// tables (refused lines told once), the dishes' servings, the shopping
// list's rows, keeping planned dishes in step with the catalogue, and
// printing a plain text.
#include "core/ingredients.h"
#include "store/plans.h"

#include <QString>
#include <QStringList>
#include <QVector>

class Catalogue;
class QWidget;

namespace TableKit {

// The tables as read now; a refused line is told once per program run.
Ingredients::Tables tables(QWidget *window, const Catalogue &catalogue);

// Where a shopping-list row asks for only what is missing (the pantry's
// 缺的加入购物清单): its place.
inline constexpr int OnlyMissing = 1;

// The dish at these servings put on the shopping list (again: its servings
// are set anew). Told over `window` when the write fails; false then.
bool addToShoppingList(QWidget *window, Catalogue &catalogue, const QVector<PlanRow> &dishes);
// The servings a dish is written for; 1 when it does not say.
int writtenServings(const Catalogue &catalogue, qint64 id);

// The rows of a list as the catalogue holds the dishes now: a dish gone is
// dropped, a dish renamed takes its new name; one note per change.
QVector<PlanRow> followCatalogue(Catalogue &catalogue, const QVector<PlanRow> &rows, QStringList &notes);

// The staples the cook keeps at hand (the pantry's 常备调料).
QStringList staples(const Catalogue &catalogue);
QStringList defaultStaples();
inline const QString StaplesNote = QStringLiteral("pantry.staples");
inline const QString HaveNote = QStringLiteral("pantry.have");

// Prints `text` (lines joined by '\n') on one printer the cook chooses, in
// the Song face; A4, landscape when asked.
void printText(QWidget *window, const QString &title, const QString &text, bool landscape);

} // namespace TableKit
