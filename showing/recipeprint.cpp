#include "showing/recipeprint.h"
#include "core/appinfo.h"
#include "core/dialogs.h"
#include "core/fonts.h"
#include "core/pictures.h"
#include "core/textboxes.h"
#include "store/records.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
const QString Dashes(66, QLatin1Char('-'));
const QLatin1String CrLf("\r\n");
// Nothing is printed nearer the paper's edge than this.
constexpr double MinimumMarginMm = 15.0;
// The picture is decoded at this many dots an inch of paper.
constexpr double PictureDpi = 300.0;
constexpr double PagePointSize = 10.0;

// The page laid out for one printer: its text, and the picture in the
// block kept free for it.
struct LaidOutPage {
    QTextDocument doc;
    QImage picture;
    QSizeF pictureSize;        // in printer pixels
    int pictureBlock = -1;
    double columnWidth = 0;    // the width of the rules: text wraps inside it
};

// The printer's paper (A4 when printing into a file), at least 15 mm of it
// left free on every side.
void prepareSheet(QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setPageSize(QPageSize(QPageSize::A4));
    const QMarginsF given = printer.pageLayout().margins(QPageLayout::Millimeter);
    printer.setPageMargins(QMarginsF(std::max(given.left(), MinimumMarginMm), std::max(given.top(), MinimumMarginMm),
                                     std::max(given.right(), MinimumMarginMm),
                                     std::max(given.bottom(), MinimumMarginMm)),
                           QPageLayout::Millimeter);
}

// The page's lines: the composed page with the name's suffix after the
// name, then the category under it; "" where the picture goes, with an
// empty line under it.
QStringList sheetLines(const PrintedDish &dish, bool withPicture)
{
    QStringList lines = composeRecipePage(dish.name + dish.nameSuffix, dish.ingredients, dish.method).split(CrLf);
    lines.removeLast();   // the empty rest after the final break
    int below = 4;        // the empty line under the name
    if (!dish.category.isEmpty())
        lines.insert(below++, QStringLiteral("分    类: ") + dish.category);
    if (withPicture)
        lines.insert(below + 1, 2, QString());
    return lines;
}

void addPicture(LaidOutPage &page, const QString &path, const QSizeF &room, double resolution)
{
    if (path.isEmpty())
        return;
    const QSize decodeAt = (room * (PictureDpi / resolution)).toSize();
    if (const std::optional<QPixmap> picture = loadPicture(path, decodeAt)) {
        page.picture = picture->toImage();
        page.pictureSize = QSizeF(page.picture.size()).scaled(room, Qt::KeepAspectRatio);
    }
}

// How many of the printer's pixels one unit of a fixed line height takes
// in a document laid out as `doc` is: measured, as the layout scales it.
double lineHeightUnit(const QTextDocument &doc)
{
    constexpr double Probe = 100;
    QTextDocument probe;
    probe.documentLayout()->setPaintDevice(doc.documentLayout()->paintDevice());
    probe.setDefaultFont(doc.defaultFont());
    probe.setDocumentMargin(doc.documentMargin());
    probe.setPageSize(doc.pageSize());
    QTextBlockFormat fixed;
    fixed.setLineHeight(Probe, QTextBlockFormat::FixedHeight);
    QTextCursor cursor(&probe);
    cursor.setBlockFormat(fixed);
    cursor.insertBlock(QTextBlockFormat());
    const QTextBlock after = probe.lastBlock();
    return probe.documentLayout()->blockBoundingRect(after).top() / Probe;
}

void layOut(LaidOutPage &page, const PrintedDish &dish, QPrinter &printer)
{
    const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
    QTextDocument &doc = page.doc;
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setDefaultFont(songFont(PagePointSize));
    doc.setDocumentMargin(0);
    doc.setPageSize(paper.size());
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    page.columnWidth = std::min(paper.width(), QFontMetricsF(songFont(PagePointSize), &printer).horizontalAdvance(Dashes));
    // At most a third of the page high, and as wide as the rules.
    addPicture(page, dish.picturePath, QSizeF(page.columnWidth, paper.height() / 3), printer.resolution());

    const QStringList lines = sheetLines(dish, !page.picture.isNull());
    const int pictureLine = page.picture.isNull() ? -1 : (dish.category.isEmpty() ? 5 : 6);
    QTextCursor cursor(&doc);
    for (int i = 0; i < lines.size(); ++i) {
        QTextBlockFormat format;
        const bool footer = i >= lines.size() - 2;
        // Ingredients and method (and a long name) wrap inside the rules;
        // the footer keeps its place towards their right end.
        if (!footer && lines[i] != Dashes)
            format.setRightMargin(paper.width() - page.columnWidth);
        if (i == pictureLine) {
            format.setLineHeight(page.pictureSize.height() / lineHeightUnit(doc), QTextBlockFormat::FixedHeight);
            page.pictureBlock = i;
        }
        if (i == 0)
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
        cursor.insertText(lines[i]);
    }
}

// Where the picture is drawn, in the document's coordinates (pages one
// below the other): in the line kept free for it, just above the next.
QRectF pictureRect(const LaidOutPage &page)
{
    const QTextBlock next = page.doc.findBlockByNumber(page.pictureBlock + 1);
    if (!next.isValid())
        return QRectF();
    const double top = page.doc.documentLayout()->blockBoundingRect(next).top() - page.pictureSize.height();
    const double left = (page.columnWidth - page.pictureSize.width()) / 2;
    return QRectF(QPointF(left, top), page.pictureSize);
}

// Lays the document out on the printer's pages and draws it, with nothing
// added (no page number, no header). False when the printer refused the
// job (it could not begin or end).
bool printDocument(LaidOutPage &page, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QTextDocument &doc = page.doc;
    const double height = doc.pageSize().height();
    const QRectF picture = page.picture.isNull() ? QRectF() : pictureRect(page);
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer.newPage();
        painter.save();
        painter.translate(0, -i * height);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = QRectF(0, i * height, doc.pageSize().width(), height);
        doc.documentLayout()->draw(&painter, ctx);
        if (!picture.isEmpty() && ctx.clip.contains(picture.topLeft())) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(picture, page.picture);
        }
        painter.restore();
    }
    return painter.end();
}

void say(const char *text)
{
    DialogService::instance().message(QApplication::activeWindow(), QString::fromUtf8(text), QString(),
                                      DialogService::OkOnly, DialogService::Ok, DialogService::Information);
}
} // namespace

QString composeRecipePage(const QString &name, const QString &ingredients, const QString &method)
{
    const QStringList lines = {
        QStringLiteral("灶香居2004 "),
        Dashes,
        QString(),
        QStringLiteral("菜    名: ") + name,
        QString(),
        QStringLiteral("配    料:"),
        toCrLf(ingredients),
        QString(),
        Dashes,
        QString(),
        QStringLiteral("制作方法: "),
        toCrLf(method),
        QString(),
        QString(),
        Dashes,
        QString(),
        QString(50, QLatin1Char(' ')) + QStringLiteral("青梧软件"),
        QString(46, QLatin1Char(' ')) + App::siteAddress(),
    };
    QString page;
    for (const QString &line : lines)
        page += line + CrLf;
    return page;
}

const char *const PrintRefused = "打印失败：打印机没有接受这份菜谱，什么也没有打印出来。";
const char *const NoPrinter = "没有找到打印机。";

void printRecipe(const PrintedDish &dish)
{
    DialogService &dialogs = DialogService::instance();
    if (!dialogs.hasPrinters()) {
        say(NoPrinter);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("%1 - %2").arg(QString::fromUtf8(App::AppTitle), dish.name));
    // The dialog belongs to whichever window the cook pressed print in.
    if (!dialogs.choosePrinter(QApplication::activeWindow(), printer))
        return; // cancelled: nothing printed, nothing said

    prepareSheet(printer);
    LaidOutPage page;
    layOut(page, dish, printer);
    if (!printDocument(page, printer))
        say(PrintRefused);
}

void printRecipe(const QString &name, const QString &ingredients, const QString &method)
{
    printRecipe(PrintedDish{name, QString(), QString(), ingredients, method, QString()});
}

void printDish(const DishRecord &dish, const QString &dataFolder, const QString &nameSuffix)
{
    if (dish.name.isEmpty() || dish.ingredients.isEmpty() || dish.method.isEmpty())
        return;
    const QString picture = trimBlanks(dish.picture);
    printRecipe(PrintedDish{trimBlanks(dish.name), nameSuffix, trimBlanks(dish.category),
                            trimBlanks(toCrLf(dish.ingredients)), trimBlanks(toCrLf(dish.method)),
                            picture.isEmpty() ? QString() : resolvePicture(dataFolder, picture)});
}
