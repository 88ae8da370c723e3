#pragma once
// Printing a dish: the page text, laid out in the Song face and printed on
// the printer the cook picks.
#include <QString>

struct DishRecord;

// The page: 18 lines, each ended by CR LF. Inputs are trimmed by the caller;
// line breaks inside ingredients and method come out as CR LF.
QString composeRecipePage(const QString &name, const QString &ingredients, const QString &method);

// What one print puts on paper: the page above, the category under the
// name and the picture under both.
struct PrintedDish {
    QString name;          // trimmed
    // Printed right after the name, on its line (a note such as
    // "（按 4 人份）"); empty for none.
    QString nameSuffix;
    QString category;      // trimmed; empty: no category line
    QString ingredients;   // trimmed
    QString method;        // trimmed
    QString picturePath;   // the picture file; empty, missing or unreadable: none
};

// Prints the page on the printer chosen in the printer dialog, on the
// printer's paper (A4 for a file) with margins of at least 15 mm; the job
// is named after the dish. Cancelling prints nothing and says nothing;
// with no printer installed the cook is told NoPrinter, and a printer that
// refuses the job PrintRefused.
void printRecipe(const PrintedDish &dish);
void printRecipe(const QString &name, const QString &ingredients, const QString &method);
extern const char *const PrintRefused;
extern const char *const NoPrinter;

// Prints the dish as the main and daily windows show it, its name,
// ingredients and method trimmed, its picture looked up from `dataFolder`
// as the windows show it. A dish with no name, ingredients or method
// prints nothing and opens no dialog. `nameSuffix` is printed after the
// name (PrintedDish::nameSuffix).
void printDish(const DishRecord &dish, const QString &dataFolder, const QString &nameSuffix = QString());
