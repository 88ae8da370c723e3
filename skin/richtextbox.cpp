#include "skin/richtextbox.h"
#include "core/textboxes.h"


RichTextBox::RichTextBox(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
}

void RichTextBox::setText(const QString &text) { setPlainText(toLf(text)); }

QString RichTextBox::text() const { return toCrLf(textOf(*document())); }

