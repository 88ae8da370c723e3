#include "exchange/exportpdftext.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
// DejaVu Sans stands taller than the Song face at the same size: a little
// smaller, their letters and the Chinese around them look alike in weight.
constexpr double LatinScale = 0.9;

bool isLatin(QChar c)
{
    const char16_t u = c.unicode();
    return (u > 0x20 && u < 0x7f) || (u >= 0xc0 && u < 0x250 && u != 0xd7 && u != 0xf7);
}
} // namespace

QList<QTextLayout::FormatRange> PdfText::latinRuns(const QString &text, const QFont &song)
{
    QFont latin = song;
    QStringList families{QStringLiteral("DejaVu Sans")};
    families += song.families();
    latin.setFamilies(families);
    latin.setPointSizeF(song.pointSizeF() * LatinScale);
    QTextCharFormat format;
    format.setFont(latin, QTextCharFormat::FontPropertiesAll);
    QList<QTextLayout::FormatRange> runs;
    for (qsizetype i = 0; i < text.size();) {
        if (!isLatin(text[i])) {
            ++i;
            continue;
        }
        // Blanks between Latin words belong to the run.
        qsizetype end = i + 1;
        while (end < text.size() && (isLatin(text[end]) || (text[end] == u' ' && end + 1 < text.size() && isLatin(text[end + 1]))))
            ++end;
        runs.append({int(i), int(end - i), format});
        i = end;
    }
    return runs;
}

PdfText::Line::Line(const QString &text, const QFont &song, const QPaintDevice *device, double maxWidth)
    : m_song(song), m_device(device)
{
    layOut(text);
    // Shortened a character at a time (after a first guess from the Song
    // face's widths), never cutting a character of two UTF-16 units.
    QString shown = text;
    if (m_width > maxWidth)
        shown = QFontMetricsF(song, device).elidedText(text, Qt::ElideRight, maxWidth).chopped(1);
    while (m_width > maxWidth && !shown.isEmpty()) {
        layOut(shown + QChar(0x2026));
        if (m_width <= maxWidth)
            break;
        shown.chop(shown.size() > 1 && shown.back().isLowSurrogate() ? 2 : 1);
        layOut(shown + QChar(0x2026));
    }
}

PdfText::Line::~Line() = default;

void PdfText::Line::layOut(const QString &text)
{
    m_layout = std::make_unique<QTextLayout>(text, m_song, m_device);
    m_layout->setFormats(latinRuns(text, m_song));
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    m_layout->setTextOption(option);
    m_layout->beginLayout();
    QTextLine line = m_layout->createLine();
    if (line.isValid())
        line.setPosition(QPointF(0, 0));
    m_layout->endLayout();
    m_width = line.isValid() ? line.naturalTextWidth() : 0;
}

void PdfText::Line::draw(QPainter &painter, const QRectF &box, Qt::Alignment align) const
{
    if (m_layout->lineCount() == 0)
        return;
    const QTextLine line = m_layout->lineAt(0);
    double x = box.left();
    if (align & Qt::AlignHCenter)
        x += (box.width() - m_width) / 2;
    else if (align & Qt::AlignRight)
        x += box.width() - m_width;
    const double y = align & Qt::AlignTop      ? box.top()
                     : align & Qt::AlignBottom ? box.bottom() - line.height()
                                               : box.top() + (box.height() - line.height()) / 2;
    m_layout->draw(&painter, QPointF(x, y));
}
