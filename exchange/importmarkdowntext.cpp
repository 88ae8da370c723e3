// The inline syntax of a Markdown line: links keep their text, pictures and
// HTML tags are dropped (the pictures listed), escapes, code and emphasis
// marks undone. Every pass is linear in the line, whatever it holds.
#include "exchange/importformats.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace ImportFormats {

namespace {

constexpr int MaxNesting = 8;                 // links inside links: deeper, read as text
constexpr qsizetype MaxPairedLine = 1 << 20;  // longer lines: brackets read as text

// Escaped emphasis marks stand as these until the marks are taken out.
constexpr char16_t Guarded[] = {u'*', u'_', u'~'};
constexpr char16_t GuardBase = 0xE000;

bool isAsciiPunct(QChar c)
{
    return c.unicode() < 128 && (c.isPunct() || c.isSymbol());
}

bool isPunct(QChar c)
{
    return c.isPunct() || c.isSymbol();
}

// A picture's address as written, unless it lies on the web or in the text itself.
void addPicture(QString address, QStringList &pictures)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    address = address.trimmed();
    if (!address.isEmpty() && !address.startsWith(QLatin1String("//")) && !address.startsWith(u'#')
        && !scheme.match(address).hasMatch())
        pictures.append(address);
}

// One line's inline syntax: links as their text, pictures and tags out,
// escapes and code marks undone.
class Inline {
public:
    Inline(const QString &line, QStringList &pictures) : m_line(line), m_pictures(pictures)
    {
        pair();
        read(0, line.size(), 0);
    }
    QString text() const { return m_out; }

private:
    // Where each '[' and '(' closes, found in one pass; -1 when it does not.
    void pair()
    {
        if (m_line.size() > MaxPairedLine || !m_line.contains(u'['))
            return;
        m_partner.fill(-1, m_line.size());
        QVector<qsizetype> brackets, parens;
        for (qsizetype i = 0; i < m_line.size(); ++i) {
            const QChar c = m_line.at(i);
            if (c == u'\\')
                ++i;
            else if (c == u'[' || c == u'(')
                (c == u'[' ? brackets : parens).append(i);
            else if (c == u']' && !brackets.isEmpty())
                m_partner[brackets.takeLast()] = i;
            else if (c == u')' && !parens.isEmpty())
                m_partner[parens.takeLast()] = i;
        }
    }
    qsizetype partner(qsizetype at) const { return m_partner.isEmpty() ? -1 : m_partner.at(at); }

    void read(qsizetype from, qsizetype to, int depth)
    {
        for (qsizetype i = from; i < to;) {
            const QChar c = m_line.at(i);
            const QChar next = i + 1 < to ? m_line.at(i + 1) : QChar();
            if (c == u'\\' && isAsciiPunct(next)) {
                const auto *guarded = std::find(std::begin(Guarded), std::end(Guarded), next.unicode());
                m_out += guarded == std::end(Guarded) ? next : QChar(char16_t(GuardBase + (guarded - Guarded)));
                i += 2;
            } else if (c == u'`') {
                ++i;
            } else if (!((c == u'[' || (c == u'!' && next == u'[')) && readLink(i, to, depth))
                       && !(c == u'<' && readAngle(i, to))) {
                m_out += c;
                ++i;
            }
        }
    }

    // "[text](address)", "[text][name]" and the same after '!' (a picture) at `i`.
    bool readLink(qsizetype &i, qsizetype to, int depth)
    {
        const bool picture = m_line.at(i) == u'!';
        const qsizetype open = picture ? i + 1 : i;
        const qsizetype close = partner(open);
        if (close < 0 || close + 1 >= to || depth >= MaxNesting)
            return false;
        const QChar next = m_line.at(close + 1);
        const qsizetype end = next == u'(' || next == u'[' ? partner(close + 1) : -1;
        if (end < 0 || end >= to)
            return false;
        if (!picture)
            read(open + 1, close, depth + 1);
        else if (next == u'(')
            addPicture(destination(QStringView(m_line).mid(close + 2, end - close - 2)), m_pictures);
        i = end + 1;
        return true;
    }

    static QString destination(QStringView inside)
    {
        inside = inside.trimmed();
        if (inside.startsWith(u'<')) {
            const qsizetype end = inside.indexOf(u'>');
            return inside.mid(1, end < 0 ? -1 : end - 1).toString();
        }
        qsizetype end = 0;
        while (end < inside.size() && !inside.at(end).isSpace())
            ++end;
        return inside.left(end).toString();   // a title may follow
    }

    // "<https://…>" as its address; an HTML tag out (an <img>'s src listed).
    bool readAngle(qsizetype &i, qsizetype to)
    {
        qsizetype end = i + 1;
        while (end < to && m_line.at(end) != u'>' && m_line.at(end) != u'<')
            ++end;
        if (end >= to || m_line.at(end) != u'>')
            return false;
        static const QRegularExpression autolink(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+:|[^\\s@]+@)[^\\s]*$"));
        static const QRegularExpression tag(QStringLiteral("^/?([A-Za-z][A-Za-z0-9-]*)(\\s|/|$)"));
        static const QRegularExpression source(QStringLiteral("\\ssrc\\s*=\\s*(\"[^\"]*\"|'[^']*'|[^\\s\"'>]+)"),
                                               QRegularExpression::CaseInsensitiveOption);
        const QString inside = m_line.mid(i + 1, end - i - 1);
        const QRegularExpressionMatch name = tag.match(inside);
        if (autolink.match(inside).hasMatch()) {
            m_out += inside;
        } else if (name.hasMatch()) {
            const QRegularExpressionMatch src = source.match(inside);
            if (name.captured(1).compare(QLatin1String("img"), Qt::CaseInsensitive) == 0 && src.hasMatch()) {
                QString address = src.captured(1);
                if (address.startsWith(u'"') || address.startsWith(u'\''))
                    address = address.mid(1, address.size() - 2);
                addPicture(address, m_pictures);
            }
        } else {
            return false;
        }
        i = end + 1;
        return true;
    }

    const QString &m_line;
    QStringList &m_pictures;
    QVector<qsizetype> m_partner;
    QString m_out;
};

// Emphasis marks out: runs of '*' or '_' (and "~~") that open and close
// around text, as CommonMark tells them, each closing one taking the
// nearest open one of its kind; a mark that pairs with none stays.
QString withoutEmphasis(const QString &text)
{
    const qsizetype size = text.size();
    std::vector<bool> drop;
    QVector<QPair<qsizetype, qsizetype>> open[3];
    for (qsizetype i = 0; i < size;) {
        const auto *kind = std::find(std::begin(Guarded), std::end(Guarded), text.at(i).unicode());
        qsizetype end = i + 1;
        while (kind != std::end(Guarded) && end < size && text.at(end) == text.at(i))
            ++end;
        if (kind == std::end(Guarded) || (*kind == u'~' && end - i != 2)) {
            i = end;
            continue;
        }
        const QChar before = i > 0 ? text.at(i - 1) : QChar(u' ');
        const QChar after = end < size ? text.at(end) : QChar(u' ');
        const bool left = !after.isSpace() && (!isPunct(after) || before.isSpace() || isPunct(before));
        const bool right = !before.isSpace() && (!isPunct(before) || after.isSpace() || isPunct(after));
        const bool word = *kind == u'_';   // "snake_case" is no emphasis
        const bool opens = left && (!word || !right || isPunct(before));
        const bool closes = right && (!word || !left || isPunct(after));
        auto &stack = open[kind - Guarded];
        if (closes && !stack.isEmpty()) {
            drop.resize(size_t(size), false);
            const auto [from, to] = stack.takeLast();
            std::fill(drop.begin() + from, drop.begin() + to, true);
            std::fill(drop.begin() + i, drop.begin() + end, true);
        } else if (opens) {
            stack.append({i, end});
        }
        i = end;
    }
    QString out;
    out.reserve(size);
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text.at(i).unicode();
        if (drop.empty() || !drop[size_t(i)])
            out += c >= GuardBase && c < GuardBase + 3 ? QChar(Guarded[c - GuardBase]) : QChar(c);
    }
    return out;
}

} // namespace

QString markdownText(const QString &line, QStringList &pictures)
{
    return decodeEntities(withoutEmphasis(Inline(line, pictures).text())).trimmed();
}

} // namespace ImportFormats
