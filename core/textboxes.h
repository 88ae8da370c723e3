#pragma once
// Line breaks: the store and the printed page use CR LF; the text boxes
// show plain line breaks.
#include <QString>

// Every line break (CR LF, lone LF, lone CR) as CR LF.
QString toCrLf(const QString &text);
// Every line break as LF, for showing in a box.
QString toLf(const QString &text);

class QTextDocument;
// What a text box holds, as the cook left it: line breaks as LF, every
// other character as it is (QTextDocument::toPlainText would turn a
// no-break space into a plain blank).
QString textOf(const QTextDocument &document);

// A name as a message box shows it: at most its first 40 characters, then
// "…" when there was more. The stored name is never shortened; this only
// keeps a confirmation small enough that its buttons stay on the screen.
QString shortenedForMessage(const QString &name);
