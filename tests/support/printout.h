#pragma once
// What a print lands on paper as: the job written into a PDF file and read
// back as text (pdftotext, keeping the layout).
#include "scripteddialogs.h"

#include <QString>
#include <QStringList>
#include <functional>

// The text of a PDF file; "" when it cannot be read.
QString pdfText(const QString &path);

// The lines of pdftotext output that are not blank, with runs of blanks
// made one (the layout mode spaces words by their place on the page).
QStringList printedLines(const QString &text);

// Runs `print` with the printer dialog accepted onto a PDF file of its own;
// the text printed ("" when nothing was).
QString printOut(ScriptedDialogs &dialogs, const std::function<void()> &print);
