#pragma once
// Line breaks: the store and the printed page use CR LF; the text boxes
// show plain line breaks.
#include <QString>

// Every line break (CR LF, lone LF, lone CR) as CR LF.
QString toCrLf(const QString &text);
// Every line break as LF, for showing in a box.
QString toLf(const QString &text);

// A name as a message box shows it: at most its first 40 characters, then
// "…" when there was more. The stored name is never shortened; this only
// keeps a confirmation small enough that its buttons stay on the screen.
QString shortenedForMessage(const QString &name);
