#include "app/servingsview.h"

#include "core/amounts.h"
#include "skin/controls.h"
#include "skin/richtextbox.h"

#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>

namespace zx {

namespace {
const QColor Unscaled(0x80, 0x80, 0x80);
}

ServingsView::ServingsView(QWidget *window, RichTextBox *ingredients)
    : QObject(window), m_ingredients(ingredients)
{
    // Right of the 原料 label, above the ingredients: no control moves.
    m_box = Form::Controls(window).spinBox(QStringLiteral("spinServings"), QStringLiteral("份量"),
                                           QStringLiteral("人份"), {4995, 1815, 1110, 315});
    m_box->setRange(0, 99);
    m_box->setSpecialValueText(QStringLiteral("—"));
    m_box->setToolTip(QStringLiteral("份量：改一改，原料按人数换算（不改动保存的菜谱）"));
    m_box->setEnabled(false);
    connect(m_box, &QSpinBox::valueChanged, this, &ServingsView::showIngredients);
}

void ServingsView::show(const QString &ingredients, int servings)
{
    m_stored = ingredients;
    m_storedServings = servings > 0 ? servings : 0;
    const QSignalBlocker quiet(m_box);
    // A known number cannot be taken back to "unknown".
    m_box->setMinimum(m_storedServings > 0 ? 1 : 0);
    m_box->setValue(m_storedServings);
    m_box->setEnabled(!ingredients.isEmpty());
    showIngredients();
}

int ServingsView::shownServings() const
{
    return m_box->value();
}

double ServingsView::factor() const
{
    if (m_box->value() <= 0)
        return 1;
    return double(m_box->value()) / (m_storedServings > 0 ? m_storedServings : 1);
}

bool ServingsView::isScaled() const
{
    return factor() != 1;
}

QString ServingsView::shownIngredients() const
{
    if (!isScaled())
        return m_stored;
    QStringList lines;
    for (const Amounts::ShownLine &line : Amounts::scaleText(m_stored, factor()))
        lines << line.text;
    return lines.join(QStringLiteral("\r\n"));
}

void ServingsView::showIngredients()
{
    if (!isScaled()) {
        m_ingredients->setText(m_stored);
        return;
    }
    const QList<Amounts::ShownLine> lines = Amounts::scaleText(m_stored, factor());
    QStringList texts;
    for (const Amounts::ShownLine &line : lines)
        texts << line.text;
    m_ingredients->setText(texts.join(QLatin1Char('\n')));
    // Lines the reader could not scale are greyed: the cook sees which
    // amounts still need thought.
    QTextBlock block = m_ingredients->document()->firstBlock();
    for (const Amounts::ShownLine &line : lines) {
        if (!block.isValid())
            break;
        if (!line.scaled) {
            QTextCursor cursor(block);
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            QTextCharFormat grey;
            grey.setForeground(Unscaled);
            cursor.mergeCharFormat(grey);
        }
        block = block.next();
    }
}

} // namespace zx
