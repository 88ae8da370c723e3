#include "table/tablekit.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/fonts.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace TableKit {

Ingredients::Tables tables(QWidget *window, const Catalogue &catalogue)
{
    static QSet<QString> told;
    Ingredients::Tables read = Ingredients::loadTables(catalogue.dataFolder());
    QStringList fresh;
    for (const QString &problem : std::as_const(read.problems)) {
        if (!told.contains(problem))
            fresh << problem;
        told.insert(problem);
    }
    if (!fresh.isEmpty())
        tell(window, QStringLiteral("这几行看不懂，没有用上：\n") + fresh.join(QLatin1Char('\n')));
    return read;
}

int writtenServings(const Catalogue &catalogue, qint64 id)
{
    const int servings = catalogue.marks().servingsOf(id);
    return servings > 0 ? servings : 1;
}

bool addToShoppingList(QWidget *window, Catalogue &catalogue, const QVector<PlanRow> &dishes)
{
    QVector<PlanRow> rows = catalogue.plans().lists.value(PlanLists::Shopping);
    for (const PlanRow &dish : dishes) {
        const auto same = std::find_if(rows.begin(), rows.end(), [&](const PlanRow &r) { return r.dish == dish.dish; });
        if (same != rows.end())
            *same = dish;
        else
            rows << dish;
    }
    const StoreStatus written = catalogue.setPlan(PlanLists::Shopping, rows);
    if (!written)
        tell(window, QStringLiteral("保存购物清单失败：") + written.error().userText());
    return written.ok();
}

QVector<PlanRow> followCatalogue(Catalogue &catalogue, const QVector<PlanRow> &rows, QStringList &notes)
{
    QVector<PlanRow> kept;
    for (PlanRow row : rows) {
        const auto found = catalogue.dish(row.dish);
        if (!found) {
            kept << row;   // the file cannot be read now: nothing is dropped
            continue;
        }
        if (!found->has_value()) {
            notes << QStringLiteral("“%1”已被删除，已从清单中去掉。").arg(row.name);
            continue;
        }
        const QString name = (*found)->name.trimmed();
        if (name != row.name) {
            notes << QStringLiteral("“%1”已改名为“%2”。").arg(row.name, name);
            row.name = name;
        }
        kept << row;
    }
    return kept;
}

QStringList defaultStaples()
{
    return QStringLiteral("盐 油 酱油 生抽 老抽 醋 糖 料酒 葱 姜 蒜 淀粉 清水 鸡精 香油 胡椒粉").split(QLatin1Char(' '));
}

QStringList staples(const Catalogue &catalogue)
{
    const auto it = catalogue.plans().notes.constFind(StaplesNote);
    if (it == catalogue.plans().notes.cend())
        return defaultStaples();
    return it->split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void printText(QWidget *window, const QString &title, const QString &text, bool landscape)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    if (!DialogService::instance().choosePrinter(window, printer))
        return;
    QTextDocument doc;
    // Large enough to read on the fridge door; made smaller below when the
    // text would not fit on the page.
    doc.setDefaultFont(songFont(landscape ? 18 : 14));
    doc.setPlainText(title + QStringLiteral("\n\n") + text);
    QTextCursor heading(doc.firstBlock());
    heading.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    heading.mergeCharFormat(bold);
    QPainter painter;
    if (!painter.begin(&printer)) {
        tell(window, QStringLiteral("打印失败：打印机没有接受，什么也没有打印出来。"));
        return;
    }
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setPageSize(page.size());
    // One page: a longer text is made smaller until it fits.
    for (qreal size = doc.defaultFont().pointSizeF(); doc.pageCount() > 1 && size > 6; size -= 0.5) {
        QFont font = doc.defaultFont();
        font.setPointSizeF(size);
        doc.setDefaultFont(font);
    }
    doc.drawContents(&painter, QRectF(QPointF(), page.size()));
    painter.end();
}

} // namespace TableKit
