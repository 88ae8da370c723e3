#include "showing/recipeprint.h"
#include "core/appinfo.h"
#include "core/dialogs.h"
#include "core/fonts.h"
#include "core/textboxes.h"
#include "store/records.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace {
const QString Dashes(66, QLatin1Char('-'));
const QLatin1String CrLf("\r\n");

// Lays the document out on the printer's pages and draws it, with nothing
// added (no page number, no header). False when the printer refused the
// job (it could not begin or end).
bool printDocument(QTextDocument &doc, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setPageSize(page.size());
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = QRectF(0, i * page.height(), page.width(), page.height());
        doc.documentLayout()->draw(&painter, ctx);
        painter.restore();
    }
    return painter.end();
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

void printRecipe(const QString &name, const QString &ingredients, const QString &method)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("灶香居2004"));
    // The dialog belongs to whichever window the cook pressed print in.
    if (!DialogService::instance().choosePrinter(QApplication::activeWindow(), printer))
        return; // cancelled: nothing printed, nothing said

    QTextDocument doc;
    doc.setDefaultFont(songFont(10));
    doc.setPlainText(toLf(composeRecipePage(name, ingredients, method)));
    if (!printDocument(doc, printer))
        DialogService::instance().message(QApplication::activeWindow(), QString::fromUtf8(PrintRefused),
                                          QString(), DialogService::OkOnly, DialogService::Ok,
                                          DialogService::Warning);
}

void printDish(const DishRecord &dish)
{
    if (dish.name.isEmpty() || dish.ingredients.isEmpty() || dish.method.isEmpty())
        return;
    printRecipe(trimBlanks(dish.name), trimBlanks(toCrLf(dish.ingredients)), trimBlanks(toCrLf(dish.method)));
}
