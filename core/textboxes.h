#pragma once
// Line breaks: the store and the printed page use CR LF; the text boxes
// show plain line breaks.
#include <QString>

// Every line break (CR LF, lone LF, lone CR) as CR LF.
QString toCrLf(const QString &text);
// Every line break as LF, for showing in a box.
QString toLf(const QString &text);
