#pragma once
// temp.txt: one line per listed category, "name = count" and CR LF, in the
// order of table "02" (a name listed twice gives two lines). The program
// writes it at every refresh of the catalogue and never reads it back.
#include "store/recipestore.h"

#include <QByteArray>
#include <QString>

QByteArray catalogueSummary(const CatalogueData &data);

// Writes the summary; false (with the reason) when it cannot be written.
// Rewritten in place, not forced to disk: nobody reads it back, and a forced
// write costs more than building the whole tree. Only a temp.txt that cannot
// be opened for writing is replaced whole, as a new file.
bool writeSummaryFile(const QString &path, const QByteArray &bytes, QString *error);
