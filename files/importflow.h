#pragma once
// Recipes brought in from the menu or by dropping files: the import
// (exchange/importjob.h) followed behind a progress dialog, the safety copy
// asked of the cook when it cannot be made, and one summary at the end.
// Returns at once; the tree follows the catalogue and selects the first
// new dish.
#include <QString>
#include <QStringList>

class Catalogue;
class QWidget;

// `category`: the category every dish goes to (created when missing), or
// empty for the categories the sources name.
void importRecipes(QWidget *parent, Catalogue &catalogue, const QStringList &paths, const QString &category);
// The recipe chooser, then importRecipes with what was chosen.
void chooseAndImport(QWidget *parent, Catalogue &catalogue, const QString &category);
