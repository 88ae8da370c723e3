#pragma once
// One dish laid out for the PDF cookbook at the width of the text: its
// name, its tags (grey, as the category), category, picture, ingredients
// and method as a run of pieces (a line of text, or the picture), each
// kept whole on a page, a heading's lines kept on the page of what follows
// them. Laid out twice with the same result: once to learn on which page
// each dish begins, for the contents, and again to paint it.
#include <QImage>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

struct ExportDish;
class QPainter;
class QPaintDevice;
class QTextLayout;
class QTextLine;

class PdfDishLayout
{
public:
    // `withPicture`: decode the picture (to paint); otherwise only its size
    // is read from the file's header.
    PdfDishLayout(const ExportDish &dish, const QPaintDevice *device, double width, double pictureHeight,
                  bool withPicture);
    ~PdfDishLayout();

    // A picture was named but could not be read.
    bool pictureMissing() const { return m_pictureMissing; }

    int pieceCount() const { return int(m_pieces.size()); }
    double pieceHeight(int piece) const { return m_pieces[size_t(piece)].height; }
    // The space above a piece when it does not begin a page.
    double spaceBefore(int piece) const { return m_pieces[size_t(piece)].space; }
    // What must follow a piece on its page: for a heading's line (the
    // name, the category, 用料, 做法), the rest of the heading and the first
    // piece after it, with the spaces between; 0 for any other piece.
    double keptWithNext(int piece) const;
    void paintPiece(QPainter &painter, int piece, double top) const;

private:
    enum class Style { Name, Category, Heading, Body };
    struct Piece {
        int paragraph = -1;   // -1: the picture
        int line = 0;
        double height = 0;
        double space = 0;
        bool keep = false;    // a heading's line: never the last on a page
        double baseline = 0;  // below the piece's top
    };
    void addParagraph(const QString &text, Style style, double space);
    // The indent of a body paragraph's wrapped lines: under the text after
    // its step number ("1.", "2、", "①", "第3步"), else under its first line.
    double hangingIndent(const QTextLine &first, const QString &text, double indent) const;
    void addPicture(const QString &path, double pictureHeight, bool withPicture);

    const QPaintDevice *m_device;
    double m_width;
    double m_lineHeight;    // a body line's height, the unit of the spaces
    std::vector<std::unique_ptr<QTextLayout>> m_paragraphs;
    std::vector<Style> m_styles;
    std::vector<Piece> m_pieces;
    QImage m_picture;
    QSizeF m_pictureSize;
    bool m_pictureMissing = false;
};
