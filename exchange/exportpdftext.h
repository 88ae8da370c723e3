#pragma once
// The text of the PDF cookbook: Chinese in the Song face, Latin letters and
// digits in DejaVu Sans, a proportional face (the Song face's own Latin is
// typewriter-like). Shared by the dish pages and the cover and contents.
#include <QFont>
#include <QList>
#include <QTextLayout>

#include <memory>

class QPainter;
class QPaintDevice;

namespace PdfText {

// The runs of Latin letters, digits and their punctuation in `text`, set in
// DejaVu Sans at about the Song face's size (falling back to the Song face
// for anything DejaVu Sans lacks).
QList<QTextLayout::FormatRange> latinRuns(const QString &text, const QFont &song);

// One line of `text`, as wide as its natural width: shortened with "…" at
// its end to fit `maxWidth` when it is wider.
class Line {
public:
    Line(const QString &text, const QFont &song, const QPaintDevice *device, double maxWidth);
    ~Line();
    double width() const { return m_width; }
    // Drawn in `box`, left, centred or right and at its top, middle or
    // bottom as `align` says.
    void draw(QPainter &painter, const QRectF &box, Qt::Alignment align) const;

private:
    void layOut(const QString &text);

    QFont m_song;
    const QPaintDevice *m_device;
    std::unique_ptr<QTextLayout> m_layout;
    double m_width = 0;
};

} // namespace PdfText
