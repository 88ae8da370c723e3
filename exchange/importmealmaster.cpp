// MealMaster text: several recipes a file, each opened by a "Meal-Master"
// header line and closed by "-----" or "MMMMM". Ingredients sit in fixed
// columns (amount 1-7, unit 9-10, text from 12), one or two to a line (the
// second from column 41, the list read column by column); a text starting
// with "-" continues the ingredient before it. The directions follow a blank
// line, their wrapped lines re-flowed into one line a paragraph.
#include "exchange/importformats.h"

namespace ImportFormats {

namespace {

bool isHeader(const QString &line)
{
    return (line.startsWith(QLatin1String("-----")) || line.startsWith(QLatin1String("MMMMM")))
           && (line.contains(QLatin1String("Meal-Master"), Qt::CaseInsensitive)
               || line.contains(QLatin1String("MealMaster"), Qt::CaseInsensitive));
}

bool isEnd(const QString &trimmed)
{
    return trimmed == QLatin1String("-----") || trimmed == QLatin1String("MMMMM");
}

bool isSection(const QString &line)
{
    return line.startsWith(QLatin1String("-----")) || line.startsWith(QLatin1String("MMMMM"));
}

// "MMMMM-----FILLING-----" -> "FILLING"; "" for a line of dashes alone.
QString sectionName(const QString &line)
{
    QString name = line.startsWith(QLatin1String("MMMMM")) ? line.mid(5) : line;
    qsizetype from = 0, to = name.size();
    while (from < to && (name.at(from) == u'-' || name.at(from).isSpace()))
        ++from;
    while (to > from && (name.at(to - 1) == u'-' || name.at(to - 1).isSpace()))
        --to;
    return name.mid(from, to - from);
}

// One ingredient in the classic columns, as (amount, unit, text).
struct Cell {
    QString amount, unit, text;
    bool continuation() const { return amount.isEmpty() && unit.isEmpty() && text.startsWith(u'-'); }
    QString line() const
    {
        QStringList parts;
        for (const QString *part : {&amount, &unit, &text}) {
            if (!part->isEmpty())
                parts.append(*part);
        }
        return parts.join(u' ');
    }
};

bool inColumns(QStringView s)
{
    if (s.size() < 12 || s.at(7) != u' ' || s.at(10) != u' ' || s.at(11).isSpace())
        return false;
    for (qsizetype i = 0; i < 7; ++i) {
        const QChar c = s.at(i);
        if (c != u' ' && !(c >= u'0' && c <= u'9') && c != u'.' && c != u'/' && c != u'-')
            return false;
    }
    for (qsizetype i = 8; i < 10; ++i) {
        if (s.at(i) != u' ' && !(s.at(i).unicode() < 128 && s.at(i).isLetter()))
            return false;
    }
    return true;
}

Cell cellOf(QStringView s)
{
    return Cell{s.left(7).trimmed().toString(), s.mid(8, 2).trimmed().toString(), s.mid(11).trimmed().toString()};
}

// Where a second column starts, or -1.
qsizetype secondColumn(const QString &line)
{
    for (const qsizetype at : {40, 41}) {
        if (line.size() > at + 11 && line.at(at - 1) == u' ' && inColumns(QStringView(line).mid(at)))
            return at;
    }
    return -1;
}

void joinTo(QString &previous, const QString &continuation)
{
    const QString more = continuation.mid(1).trimmed();
    const bool tight = previous.endsWith(u'(') || previous.endsWith(u'-') || more.isEmpty();
    previous += (tight ? QString() : QStringLiteral(" ")) + more;
}

// A cell added to its column; a continuation joins the ingredient above it.
void addCell(QStringList &column, const Cell &cell)
{
    if (cell.continuation() && !column.isEmpty())
        joinTo(column.last(), cell.text);
    else
        column.append(cell.line());
}

bool wide(QChar c)
{
    return c.unicode() >= 0x2E80;
}

class RecipeReader {
public:
    RecipeReader(const QStringList &lines, qsizetype at) : m_lines(lines), m_at(at) {}

    // Reads from the line after the header; the index after the recipe.
    qsizetype read(Draft &draft)
    {
        readFields(draft);
        bool ingredients = true;
        bool blankSeen = true;
        for (; m_at < m_lines.size(); ++m_at) {
            const QString &raw = m_lines.at(m_at);
            const QString trimmed = raw.trimmed();
            if (isHeader(raw))
                break;
            if (isEnd(trimmed)) {
                ++m_at;
                break;
            }
            if (ingredients) {
                if (trimmed.isEmpty()) {
                    blankSeen = true;
                    continue;
                }
                if (isSection(raw) && nextIsIngredient()) {
                    flush(draft);
                    const QString name = sectionName(raw);
                    if (!name.isEmpty())
                        draft.ingredients.append(QStringLiteral("【") + name + QStringLiteral("】"));
                    continue;
                }
                if (!isSection(raw) && (inColumns(raw) || !blankSeen)) {
                    addIngredientLine(raw);
                    blankSeen = false;
                    continue;
                }
                flush(draft);
                ingredients = false;
            }
            addDirectionLine(raw, trimmed, draft);
        }
        flush(draft);
        endParagraph(draft);
        trimEmptyLines(draft.ingredients);
        return m_at;
    }

private:
    void readFields(Draft &draft)
    {
        for (; m_at < m_lines.size(); ++m_at) {
            const QString line = m_lines.at(m_at).trimmed();
            const qsizetype colon = line.indexOf(u':');
            const QString key = line.left(colon).trimmed().toLower();
            const QString value = line.mid(colon + 1).trimmed();
            if (line.isEmpty())
                continue;
            if (colon < 0)
                break;
            if (key == QLatin1String("title"))
                draft.name = value;
            else if (key == QLatin1String("categories") || key == QLatin1String("category"))
                readCategories(value, draft);
            else if (key == QLatin1String("yield") || key == QLatin1String("servings"))
                draft.servings = servingsIn(value);
            else
                break;
        }
    }

    // "Chinese, Main dish, Pork": the first the category, the rest tags.
    static void readCategories(const QString &value, Draft &draft)
    {
        const QStringList categories = value.split(u',');
        draft.category = categories.constFirst().trimmed();
        draft.tags = tagsFrom({categories.mid(1).join(u',')}, false);
    }

    bool nextIsIngredient() const
    {
        for (qsizetype k = m_at + 1; k < m_lines.size(); ++k) {
            if (!m_lines.at(k).trimmed().isEmpty())
                return !isSection(m_lines.at(k)) && inColumns(m_lines.at(k));
        }
        return false;
    }

    void addIngredientLine(const QString &raw)
    {
        if (!inColumns(raw)) {   // out of the columns: the text as it stands
            addCell(m_left, Cell{QString(), QString(), raw.trimmed()});
            return;
        }
        const qsizetype split = secondColumn(raw);
        if (split < 0) {
            addCell(m_left, cellOf(raw));
            return;
        }
        addCell(m_left, cellOf(QStringView(raw).left(split)));
        const Cell right = cellOf(QStringView(raw).mid(split));
        // Read column by column: a continuation heading the second column
        // goes on from the last ingredient of the first.
        if (right.continuation() && m_right.isEmpty())
            m_carried.append(right.text);
        else
            addCell(m_right, right);
    }

    void flush(Draft &draft)
    {
        for (const QString &more : std::as_const(m_carried)) {
            if (m_left.isEmpty())
                m_left.append(more.mid(1).trimmed());
            else
                joinTo(m_left.last(), more);
        }
        m_carried.clear();
        draft.ingredients += m_left;
        draft.ingredients += m_right;
        m_left.clear();
        m_right.clear();
    }

    void addDirectionLine(const QString &raw, const QString &trimmed, Draft &draft)
    {
        if (trimmed.isEmpty()) {
            endParagraph(draft);
        } else if (isSection(raw)) {
            endParagraph(draft);
            const QString name = sectionName(raw);
            if (!name.isEmpty())
                draft.method.append(QStringLiteral("【") + name + QStringLiteral("】"));
        } else if (trimmed.startsWith(u':')) {   // a forced line break
            endParagraph(draft);
            m_paragraph = trimmed.mid(1).trimmed();
        } else if (m_paragraph.isEmpty()) {
            m_paragraph = trimmed;
        } else {
            const bool joinTight = wide(m_paragraph.back()) && wide(trimmed.front());
            m_paragraph += (joinTight ? QString() : QStringLiteral(" ")) + trimmed;
        }
    }

    void endParagraph(Draft &draft)
    {
        if (!m_paragraph.isEmpty())
            draft.method.append(m_paragraph);
        m_paragraph.clear();
    }

    const QStringList &m_lines;
    qsizetype m_at;
    QStringList m_left, m_right, m_carried;
    QString m_paragraph;
};

} // namespace

QVector<Draft> readMealMaster(const QByteArray &bytes)
{
    QString text = isUtf8(bytes) ? QString::fromUtf8(bytes) : fromCp437(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.remove(QChar(0x1A));   // the MS-DOS end of file
    QStringList lines = text.split(u'\n');
    for (QString &line : lines) {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
    }
    QVector<Draft> drafts;
    for (qsizetype at = 0; at < lines.size();) {
        if (!isHeader(lines.at(at))) {
            ++at;
            continue;
        }
        Draft draft;
        at = RecipeReader(lines, at + 1).read(draft);
        if (!draft.name.isEmpty() || !draft.ingredients.isEmpty() || !draft.method.isEmpty())
            drafts.append(draft);
    }
    return drafts;
}

} // namespace ImportFormats
