#include "skin/richtextbox.h"
#include "core/textboxes.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

RichTextBox::RichTextBox(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
}

void RichTextBox::setText(const QString &text) { setPlainText(toLf(text)); }

QString RichTextBox::text() const { return toCrLf(toPlainText()); }

int RichTextBox::selectionLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

bool RichTextBox::printOn(QPrinter *printer) const
{
    const QTextCursor c = textCursor();
    const QString body = c.hasSelection() ? c.selection().toPlainText() : toPlainText();

    QTextDocument doc;
    doc.setDefaultFont(font());
    doc.setPlainText(body);
    // A document with a page size is printed as it is: no page number added.
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    doc.documentLayout()->setPaintDevice(printer);
    doc.setPageSize(page.size());
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer->newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        const QRectF clip(0, i * page.height(), page.width(), page.height());
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = clip;
        doc.documentLayout()->draw(&painter, ctx);
        painter.restore();
    }
    return painter.end();
}
