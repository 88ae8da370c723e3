// The dish's pieces for the PDF cookbook: each paragraph broken into lines
// at the text width with QTextLayout, every line a piece, so that a page
// breaks only between lines; the picture one piece of its own.
#include "exchange/exportpdflayout.h"
#include "exchange/exportpdftext.h"
#include "exchange/exportwriters.h"

#include "core/fonts.h"

#include <QColor>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>

namespace {

// Pictures are decoded at this many dots an inch of paper: sharp in print,
// yet a photo costs the file a few hundred kilobytes at most.
constexpr double PictureDpi = 150.0;

QFont fontFor(int style)
{
    switch (style) {
    case 0: return songFont(20, true);     // the name
    case 1: return songFont(10.5);         // the category
    case 2: return songFont(12.5, true);   // 用料, 做法
    default: return songFont(11);
    }
}

QColor colourFor(int style)
{
    switch (style) {
    case 1: return QColor(0x66, 0x66, 0x66);
    case 2: return QColor(0x8a, 0x3b, 0x12);
    default: return QColor(0x20, 0x20, 0x20);
    }
}

} // namespace

PdfDishLayout::PdfDishLayout(const ExportDish &dish, const QPaintDevice *device, double width,
                             double pictureHeight, bool withPicture)
    : m_device(device), m_width(width),
      m_lineHeight(QFontMetricsF(fontFor(int(Style::Body)), device).height())
{
    addParagraph(dish.name, Style::Name, 0);
    if (!dish.tags.isEmpty())
        addParagraph(ExportWriting::tagsLine(dish), Style::Category, 0.1);
    if (!dish.category.isEmpty())
        addParagraph(dish.category, Style::Category, 0.1);
    addPicture(dish.picturePath, pictureHeight, withPicture);
    const struct { QString heading; QString text; } parts[] = {
        {QStringLiteral("用料"), dish.ingredients}, {QStringLiteral("做法"), dish.method}};
    for (const auto &part : parts) {
        const QStringList lines = ExportWriting::textLines(part.text);
        if (lines.isEmpty())
            continue;
        addParagraph(part.heading, Style::Heading, 0.9);
        double space = 0.3;
        for (const QString &line : lines) {
            if (line.trimmed().isEmpty()) {
                space += 0.5;
                continue;
            }
            addParagraph(line, Style::Body, space);
            space = 0.15;
        }
    }
}

PdfDishLayout::~PdfDishLayout() = default;

void PdfDishLayout::addParagraph(const QString &text, Style style, double space)
{
    const QFont font = fontFor(int(style));
    auto layout = std::make_unique<QTextLayout>(text, font, m_device);
    layout->setFormats(PdfText::latinRuns(text, font));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    // Body text begins two characters in, as Chinese prose does; its
    // wrapped lines hang under its text.
    const QFontMetricsF song(font, m_device);
    const double indent = style == Style::Body ? 2 * song.horizontalAdvance(QChar(0x4e2d)) : 0.0;
    double hang = indent;
    const double factor = style == Style::Name ? 1.3 : 1.5;
    const int paragraph = int(m_paragraphs.size());
    layout->beginLayout();
    double y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        const double x = line.lineNumber() == 0 ? indent : hang;
        line.setLineWidth(m_width - x);
        line.setPosition(QPointF(x, y));
        if (line.lineNumber() == 0 && style == Style::Body)
            hang = hangingIndent(line, text, indent);
        y += line.height();
        const double before = line.lineNumber() == 0 ? space * m_lineHeight : 0.0;
        // Every line of a style as high as the Song face makes it, whether
        // or not it holds Latin letters (their face stands taller), and its
        // baseline where the Song face puts it.
        const double height = song.height() * factor;
        m_pieces.push_back({paragraph, line.lineNumber(), height, before, style != Style::Body,
                            (height - song.height()) / 2 + song.ascent()});
    }
    layout->endLayout();
    m_paragraphs.push_back(std::move(layout));
    m_styles.push_back(style);
}

double PdfDishLayout::hangingIndent(const QTextLine &first, const QString &text, double indent) const
{
    static const QRegularExpression step(QStringLiteral(
        "^\\s*(?:\\d{1,3}\\s*(?:[.．](?!\\d)|[、:：)）])|[（(]\\d{1,3}[)）]|[\\x{2460}-\\x{2473}]|第[一二三四五六七八九十\\d]{1,3}步[:：、]?)\\s*"));
    const QRegularExpressionMatch marker = step.match(text);
    if (!marker.hasMatch() || marker.capturedLength() >= first.textLength())
        return indent;
    const double under = first.cursorToX(int(marker.capturedLength()));
    // A marker so wide that little room would be left: under the first line.
    return under < m_width / 3 ? under : indent;
}

double PdfDishLayout::keptWithNext(int piece) const
{
    double kept = 0;
    for (size_t next = size_t(piece) + 1; m_pieces[next - 1].keep && next < m_pieces.size(); ++next)
        kept += m_pieces[next].space + m_pieces[next].height;
    return kept;
}

void PdfDishLayout::addPicture(const QString &path, double pictureHeight, bool withPicture)
{
    if (path.isEmpty())
        return;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!ExportWriting::pictureFound(path) || !stored.isValid()) {
        m_pictureMissing = true;
        return;
    }
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    m_pictureSize = QSizeF(turned ? stored.transposed() : stored).scaled(QSizeF(m_width, pictureHeight), Qt::KeepAspectRatio);
    m_pieces.push_back({-1, 0, m_pictureSize.height(), 0.6 * m_lineHeight, false, 0});
    if (!withPicture)
        return;
    QSize decoded = (m_pictureSize * (PictureDpi / m_device->logicalDpiX())).toSize().expandedTo(QSize(1, 1));
    if (turned)
        decoded.transpose();
    if (decoded.width() < stored.width() && decoded.height() < stored.height())
        reader.setScaledSize(decoded);
    m_picture = reader.read();
}

void PdfDishLayout::paintPiece(QPainter &painter, int piece, double top) const
{
    const Piece &p = m_pieces[size_t(piece)];
    if (p.paragraph < 0) {
        if (!m_picture.isNull()) {
            const QRectF frame((m_width - m_pictureSize.width()) / 2, top, m_pictureSize.width(), m_pictureSize.height());
            painter.drawImage(frame, m_picture);
        }
        return;
    }
    const QTextLine line = m_paragraphs[size_t(p.paragraph)]->lineAt(p.line);
    painter.setPen(colourFor(int(m_styles[size_t(p.paragraph)])));
    line.draw(&painter, QPointF(0, top + p.baseline - line.ascent() - line.y()));
}
