#include "skin/richtextbox.h"
#include "core/textboxes.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
constexpr int LineHeightPercent = 130;

bool linesApart(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    return format.lineHeightType() == QTextBlockFormat::ProportionalHeight
           && qRound(format.lineHeight()) == LineHeightPercent;
}

// Gives the blocks a change touched the line height they lack. A new text
// (setPlainText) comes with plain blocks; a line typed or pasted takes its
// format from the block it was typed in, so this finds nothing to do.
class LineSpacing : public QObject {
public:
    explicit LineSpacing(QTextDocument *document) : QObject(document), m_document(document)
    {
        connect(document, &QTextDocument::contentsChange, this, &LineSpacing::follow);
        follow(0, 0, document->characterCount());
    }

private:
    void follow(int from, int, int added)
    {
        if (m_applying)
            return;
        const QTextBlock first = m_document->findBlock(from);
        QTextBlock last = m_document->findBlock(from + added);
        if (!last.isValid())
            last = m_document->lastBlock();
        bool needed = false;
        for (QTextBlock b = first; b.isValid() && !needed; b = b.next()) {
            needed = !linesApart(b);
            if (b == last)
                break;
        }
        if (!needed)
            return;
        m_applying = true;
        QTextCursor cursor(m_document);
        cursor.setPosition(first.position());
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        QTextBlockFormat apart;
        apart.setLineHeight(LineHeightPercent, QTextBlockFormat::ProportionalHeight);
        // Part of the edit that made the blocks: one undo takes both back.
        cursor.joinPreviousEditBlock();
        cursor.mergeBlockFormat(apart);
        cursor.endEditBlock();
        m_applying = false;
    }

    QTextDocument *m_document;
    bool m_applying = false;
};
} // namespace

void keepLinesApart(QTextEdit *box) { new LineSpacing(box->document()); }

RichTextBox::RichTextBox(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    keepLinesApart(this);
}

void RichTextBox::setText(const QString &text) { setPlainText(toLf(text)); }

QString RichTextBox::text() const { return toCrLf(textOf(*document())); }
