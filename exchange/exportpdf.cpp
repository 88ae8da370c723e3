// The PDF cookbook: A4, the Song face embedded. A cover, the contents with
// each dish's page, then the dishes one below another; a dish begins a new
// page when less than a third of the page is left. Every page but the cover
// carries its number at the foot.
#include "exchange/exportpdflayout.h"
#include "exchange/exportpdftext.h"
#include "exchange/exportwriters.h"

#include "core/fonts.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <functional>

namespace {

constexpr double MarginMm = 20.0;
constexpr int Dpi = 300;

// Where the next piece goes: the page and how far down its body.
class Flow
{
public:
    Flow(double body, int page, std::function<void()> turned) : m_body(body), m_page(page), m_turned(std::move(turned)) {}

    // The page the dish begins on, `space` below the previous one.
    int beginDish(double space)
    {
        if (m_y > 0) {
            m_y += space;
            if (m_body - m_y < m_body / 3)
                turn();
        }
        return m_page;
    }
    // The top of a piece, on a new page when it does not fit this one, or
    // when what must follow it on its page (`kept`) would not.
    double place(double space, double height, double kept = 0)
    {
        if (m_y > 0 && m_y + space + height + kept > m_body)
            turn();
        else if (m_y > 0)
            m_y += space;
        const double top = m_y;
        m_y += height;
        return top;
    }

private:
    void turn()
    {
        ++m_page;
        m_y = 0;
        if (m_turned)
            m_turned();
    }
    double m_body;
    int m_page;
    double m_y = 0;
    std::function<void()> m_turned;
};

class PdfCookbook
{
public:
    PdfCookbook(QPdfWriter &writer, QPainter &painter, const ExportSnapshot &snapshot, Progress &progress)
        : m_writer(writer), m_painter(painter), m_snapshot(snapshot), m_progress(progress),
          m_width(writer.width()), m_height(writer.height()),
          m_footer(2 * QFontMetricsF(footerFont(), &writer).height()), m_body(m_height - m_footer),
          m_row(1.6 * QFontMetricsF(songFont(11), &writer).height()),
          m_contentsTitle(2.5 * QFontMetricsF(songFont(18, true), &writer).height())
    {
        for (const ExportSnapshot::Section &section : snapshot.sections) {
            for (const int dish : section.dishes) {
                if (dish >= 0 && dish < snapshot.dishes.size())
                    m_order.append(dish);
            }
        }
    }

    // False when cancelled.
    bool write(int *picturesMissing);

private:
    static QFont footerFont() { return songFont(9); }
    int contentsPages() const;
    bool measure(QVector<int> *startPages, int *picturesMissing);
    bool paintDishes(int firstPage);
    void paintCover();
    void paintContents(const QVector<int> &startPages);
    void paintContentsRow(const QString &text, int page, double top, bool heading);
    void newPage(int number);
    double dishSpace() const { return 1.5 * m_row; }

    QPdfWriter &m_writer;
    QPainter &m_painter;
    const ExportSnapshot &m_snapshot;
    Progress &m_progress;
    QVector<int> m_order;   // the dishes in the order of the sections
    double m_width, m_height, m_footer, m_body, m_row, m_contentsTitle;
};

int PdfCookbook::contentsPages() const
{
    const int rows = int(m_snapshot.sections.size() + m_order.size());
    const int first = std::max(1, int((m_body - m_contentsTitle) / m_row));
    const int others = std::max(1, int(m_body / m_row));
    return rows <= first ? 1 : 1 + (rows - first + others - 1) / others;
}

bool PdfCookbook::write(int *picturesMissing)
{
    QVector<int> startPages(m_snapshot.dishes.size(), 0);
    if (!measure(&startPages, picturesMissing))
        return false;
    paintCover();
    newPage(2);
    paintContents(startPages);
    return paintDishes(2 + contentsPages());
}

bool PdfCookbook::measure(QVector<int> *startPages, int *picturesMissing)
{
    Flow flow(m_body, 2 + contentsPages(), nullptr);
    for (const int dish : std::as_const(m_order)) {
        if (m_progress.cancelled())
            return false;
        const PdfDishLayout layout(m_snapshot.dishes.at(dish), &m_writer, m_width, m_height / 3, false);
        (*startPages)[dish] = flow.beginDish(dishSpace());
        for (int piece = 0; piece < layout.pieceCount(); ++piece)
            flow.place(layout.spaceBefore(piece), layout.pieceHeight(piece), layout.keptWithNext(piece));
        *picturesMissing += layout.pictureMissing() ? 1 : 0;
    }
    return true;
}

bool PdfCookbook::paintDishes(int firstPage)
{
    int page = firstPage;
    if (!m_order.isEmpty())
        newPage(page);
    Flow flow(m_body, page, [&] { newPage(++page); });
    for (const int dish : std::as_const(m_order)) {
        if (m_progress.cancelled())
            return false;
        const PdfDishLayout layout(m_snapshot.dishes.at(dish), &m_writer, m_width, m_height / 3, true);
        flow.beginDish(dishSpace());
        for (int piece = 0; piece < layout.pieceCount(); ++piece)
            layout.paintPiece(m_painter, piece,
                              flow.place(layout.spaceBefore(piece), layout.pieceHeight(piece), layout.keptWithNext(piece)));
        m_progress.stepDone();
    }
    return true;
}

void PdfCookbook::newPage(int number)
{
    m_writer.newPage();
    m_painter.setFont(footerFont());
    m_painter.setPen(QColor(0x55, 0x55, 0x55));
    PdfText::Line(QStringLiteral("— %1 —").arg(number), footerFont(), &m_writer, m_width)
        .draw(m_painter, QRectF(0, m_body, m_width, m_footer), Qt::AlignHCenter | Qt::AlignBottom);
}

void PdfCookbook::paintCover()
{
    const struct { QString text; QFont font; double at; } lines[] = {
        {QStringLiteral("灶香居 2004"), songFont(30, true), 0.25},
        {m_snapshot.title, songFont(24, true), 0.40},
        {ExportWriting::dateText(m_snapshot.date), songFont(14), 0.55},
        {QStringLiteral("共 %1 道美食").arg(m_snapshot.dishes.size()), songFont(14), 0.60},
    };
    m_painter.setPen(QColor(0x20, 0x20, 0x20));
    for (const auto &line : lines) {
        PdfText::Line(line.text, line.font, &m_writer, m_width)
            .draw(m_painter, QRectF(0, m_height * line.at, m_width, m_height * 0.1), Qt::AlignHCenter | Qt::AlignTop);
    }
    m_painter.setPen(QPen(QColor(0x8a, 0x3b, 0x12), m_height / 400));
    m_painter.drawLine(QPointF(m_width * 0.3, m_height * 0.36), QPointF(m_width * 0.7, m_height * 0.36));
}

void PdfCookbook::paintContents(const QVector<int> &startPages)
{
    m_painter.setFont(songFont(18, true));
    m_painter.setPen(QColor(0x20, 0x20, 0x20));
    m_painter.drawText(QRectF(0, 0, m_width, m_contentsTitle), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("目录"));
    double top = m_contentsTitle;
    int page = 2;
    const auto row = [&](const QString &text, int number, bool heading) {
        if (top + m_row > m_body) {
            newPage(++page);
            top = 0;
        }
        paintContentsRow(text, number, top, heading);
        top += m_row;
    };
    for (const ExportSnapshot::Section &section : m_snapshot.sections) {
        row(section.heading, 0, true);
        for (const int dish : section.dishes) {
            if (dish >= 0 && dish < m_snapshot.dishes.size())
                row(m_snapshot.dishes.at(dish).name, startPages.at(dish), false);
        }
    }
}

// A dish's row: its name, a dotted leader and its page at the right.
void PdfCookbook::paintContentsRow(const QString &text, int page, double top, bool heading)
{
    const QFont font = songFont(11, heading);
    const QFontMetricsF metrics(font, &m_writer);
    const QRectF rowRect(0, top, m_width, m_row);
    m_painter.setPen(heading ? QColor(0x8a, 0x3b, 0x12) : QColor(0x20, 0x20, 0x20));
    if (heading) {
        PdfText::Line(text, font, &m_writer, m_width).draw(m_painter, rowRect, Qt::AlignLeft | Qt::AlignVCenter);
        return;
    }
    const PdfText::Line number(QString::number(page), font, &m_writer, m_width);
    const double indent = 2 * metrics.horizontalAdvance(QChar(0x4e2d));
    const double numberLeft = m_width - number.width();
    const double gap = metrics.horizontalAdvance(QChar(0x4e2d)) / 2;
    const PdfText::Line name(text, font, &m_writer, numberLeft - indent - 4 * gap);
    name.draw(m_painter, rowRect.adjusted(indent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter);
    number.draw(m_painter, rowRect, Qt::AlignRight | Qt::AlignVCenter);
    QPen dots(QColor(0x99, 0x99, 0x99), metrics.height() / 10, Qt::CustomDashLine, Qt::RoundCap);
    dots.setDashPattern({0.01, 3.5});
    m_painter.setPen(dots);
    const double baseline = top + (m_row + metrics.ascent() - metrics.descent()) / 2;
    m_painter.drawLine(QPointF(indent + name.width() + gap, baseline),
                       QPointF(numberLeft - gap, baseline));
}

} // namespace

ExportOutcome writePdfCookbook(const ExportSnapshot &snapshot, const QString &path, Progress &progress)
{
    ExportOutcome outcome;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        outcome.error = ExportWriting::writeFailure(path, file.errorString());
        return outcome;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(Dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter));
        writer.setTitle(snapshot.title);
        writer.setCreator(QStringLiteral("灶香居 2004"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            outcome.error = ExportWriting::writeFailure(path, file.errorString());
            return outcome;
        }
        PdfCookbook book(writer, painter, snapshot, progress);
        const bool whole = book.write(&outcome.picturesMissing);
        painter.end();
        if (!whole)
            return outcome;
    }
    if (file.error() == QFileDevice::NoError)
        file.close();
    if (file.error() != QFileDevice::NoError) {
        outcome.error = ExportWriting::writeFailure(path, file.errorString());
        return outcome;
    }
    outcome.ok = true;
    outcome.dishes = int(snapshot.dishes.size());
    return outcome;
}
