#pragma once
// One dish laid out for the PDF cookbook at the width of the text: its
// name, its tags (grey, as the category), category, picture, ingredients
// and method as a run of pieces (a line of text, or the picture), each
// kept whole on a page. Laid out twice with the same result: once to learn
// on which page each dish begins, for the contents, and again to paint it.
#include <QImage>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

struct ExportDish;
class QPainter;
class QPaintDevice;
class QTextLayout;

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
    void paintPiece(QPainter &painter, int piece, double top) const;

private:
    enum class Style { Name, Category, Heading, Body };
    struct Piece {
        int paragraph = -1;   // -1: the picture
        int line = 0;
        double height = 0;
        double space = 0;
    };
    void addParagraph(const QString &text, Style style, double space);
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
