#pragma once
// The rich-text box of the dish displays, the print window and the about
// text: plain text in and out (CR LF or LF line breaks shown as line
// breaks), read-only on demand, the length of the selection, and printing
// onto a printer as the box lays its text out.
#include <QTextEdit>

class QPrinter;

// Multi-line boxes set their lines apart: each line 1.3 times the font's
// line height, so that no stroke of one line touches the next. Kept
// through every new text (setPlainText, clear), typing and pasting; the
// text itself, and what the box reads back, stay as they are.
void keepLinesApart(QTextEdit *box);

class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);

    // Plain text; line breaks may be CR LF or LF.
    void setText(const QString &text);
    // The plain text with CR LF line breaks; an empty box reads as "".
    QString text() const;
};
