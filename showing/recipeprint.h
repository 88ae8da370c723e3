#pragma once
// Printing a dish: the page text, laid out in the Song face and printed on
// the printer the cook picks.
#include <QString>

struct DishRecord;

// The page: 18 lines, each ended by CR LF. Inputs are trimmed by the caller;
// line breaks inside ingredients and method come out as CR LF.
QString composeRecipePage(const QString &name, const QString &ingredients, const QString &method);

// Prints the page on the printer chosen in the printer dialog. Cancelling
// prints nothing and says nothing; a printer that refuses the job is told
// as PrintRefused.
void printRecipe(const QString &name, const QString &ingredients, const QString &method);
extern const char *const PrintRefused;

// Prints the dish as the main and daily windows show it, its name,
// ingredients and method trimmed. A dish with no name, ingredients or
// method prints nothing and opens no dialog.
void printDish(const DishRecord &dish);
