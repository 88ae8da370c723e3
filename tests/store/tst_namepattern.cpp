// The search window's "Like" patterns, as a table of (pattern, name, expected).
#include "store/namepattern.h"

#include <QTest>

#include <random>

class TstNamePattern : public QObject {
    Q_OBJECT
private slots:
    void matching_data();
    void matching();
    void invalidPatterns_data();
    void invalidPatterns();
    void manyStarsStayCheap();
    void findingAgreesWithMatching();
    void matchedSpans_data();
    void matchedSpans();
};

void TstNamePattern::matching_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    auto row = [](const char *tag, const QString &p, const QString &n, bool e) {
        QTest::newRow(tag) << p << n << e;
    };
    // plain text and the search window's "*text*" form
    row("empty-empty", "", "", true);
    row("empty-vs-text", "", "a", false);
    row("star-empty", "*", "", true);
    row("contains-chinese", "*鸡*", "宫保鸡丁", true);
    row("contains-chinese-not", "*鸡*", "鱼香肉丝", false);
    row("whole-name-only", "鸡", "宫保鸡丁", false);
    row("prefix", "宫保*", "宫保鸡丁", true);
    row("suffix-not", "宫保*", "老宫保", false);
    // letter case: Latin letters fold, others are exact
    row("ascii-case", "abc", "ABC", true);
    row("ascii-mixed", "*Tofu*", "麻婆tOFU", true);
    row("latin-accent-case", "é", "É", true);
    row("fullwidth-latin-case", "ａ", "Ａ", true);
    row("greek-exact", "α", "Α", false);
    row("fullwidth-vs-ascii", "a", "ａ", false);
    // ? and #
    row("question-one", "a?c", "abc", true);
    row("question-needs-one", "a?c", "ac", false);
    row("question-chinese", "宫?鸡丁", "宫保鸡丁", true);
    row("question-emoji", "?", "😀", true);
    row("two-questions-one-emoji", "??", "😀", false);
    row("emoji-literal", "*😀*", "笑😀脸", true);
    row("hash-digit", "#", "5", true);
    row("hash-letter", "#", "a", false);
    row("hash-fullwidth-digit", "#", "５", false);
    row("hash-in-text", "*#号*", "3号套餐", true);
    // lists
    row("list-in", "[abc]", "b", true);
    row("list-case", "[abc]", "B", true);
    row("list-out", "[abc]", "d", false);
    row("list-chinese", "[鸡鸭]肉", "鸭肉", true);
    row("list-emoji", "[😀a]", "😀", true);
    row("negated-in", "[!abc]", "d", true);
    row("negated-out", "[!abc]", "a", false);
    row("negated-case", "[!abc]", "A", false);
    row("negated-takes-one", "[!abc]", "", false);
    row("range", "[a-c]", "b", true);
    row("range-case", "[a-z]", "Q", true);
    row("range-upper-case", "[A-Z]", "q", true);
    row("range-out", "[a-c]", "d", false);
    row("range-one", "[a-a]", "a", true);
    row("range-digits", "[0-9]", "7", true);
    row("negated-range", "[!0-9]", "7", false);
    row("star-in-list", "[*]", "*", true);
    row("star-in-list-literal", "[*]", "a", false);
    row("question-in-list", "[?]", "?", true);
    row("question-in-list-literal", "[?]", "x", false);
    row("hash-in-list", "[#]", "#", true);
    row("hash-in-list-literal", "[#]", "1", false);
    row("dash-first", "[-a]", "-", true);
    row("dash-last", "[a-]", "-", true);
    row("dash-last-no-range", "[a-]", "b", false);
    row("bang-not-first", "[a!]", "!", true);
    row("bracket-in-list", "[[]", "[", true);
    row("empty-list-consumes-nothing", "a[]b", "ab", true);
    row("empty-list-alone", "[]", "", true);
    row("empty-list-not-a-char", "[]", "a", false);
    // characters that mean something elsewhere are plain here
    row("bang-outside", "a!b", "a!b", true);
    row("closing-bracket-outside", "]", "]", true);
    row("percent", "a%b", "a%b", true);
    row("percent-not-wildcard", "a%b", "axb", false);
    row("underscore", "a_b", "a_b", true);
    row("underscore-not-wildcard", "a_b", "axb", false);
    row("quote", "*it's*", "IT'S 好", true);
    row("double-quote", "\"x\"", "\"X\"", true);
    row("backslash", "a\\b", "a\\b", true);
    row("backslash-not-escape", "a\\*", "a*", false);
    // star backtracking
    row("stars-found", "*a*b*c*", "xaybzc", true);
    row("stars-order", "*a*b*c*", "cba", false);
    row("star-then-list", "*[0-9]", "abc7", true);
    row("star-then-list-not-last", "*[0-9]", "7abc", false);
    row("many-stars-no-b", "*a*a*a*a*b", QString(200, QLatin1Char('a')), false);
    row("many-stars-b", "*a*a*a*a*b", QString(200, QLatin1Char('a')) + QLatin1Char('b'), true);
}

void TstNamePattern::matching()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, expected);

    QVERIFY(NamePattern::isValid(pattern));
    QCOMPARE(NamePattern::matches(pattern, name), std::optional<bool>(expected));
    // SQLite hands names over as UTF-8: both ways must agree.
    const auto compiled = NamePattern::Pattern::compile(pattern);
    QVERIFY(compiled.has_value());
    const QByteArray utf8 = name.toUtf8();
    QCOMPARE(compiled->matchesUtf8(utf8.constData(), utf8.size()), expected);
    QCOMPARE(compiled->findsInUtf8(utf8.constData(), utf8.size()), expected);
}

void TstNamePattern::invalidPatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("unclosed") << "[abc";
    QTest::newRow("lone-bracket") << "[";
    QTest::newRow("search-form-unclosed") << "*[*";
    QTest::newRow("negated-unclosed") << "[!";
    QTest::newRow("descending") << "[z-a]";
    QTest::newRow("descending-case") << "[a-Z]";
    QTest::newRow("descending-chinese") << "*[鸭-鸡]*";
    QTest::newRow("second-list-bad") << "[a][b";
}

void TstNamePattern::invalidPatterns()
{
    QFETCH(QString, pattern);
    QVERIFY(!NamePattern::isValid(pattern));
    QVERIFY(!NamePattern::matches(pattern, QStringLiteral("abc")).has_value());
    QVERIFY(!NamePattern::Pattern::compile(pattern).has_value());
}

void TstNamePattern::manyStarsStayCheap()
{
    // A pattern that takes exponential time in a naive backtracker; this one
    // must come back (the test would time out otherwise).
    const QString pattern = QStringLiteral("*a*a*a*a*a*a*a*a*a*a*a*a*b");
    const QString name(20000, QLatin1Char('a'));
    QCOMPARE(NamePattern::matches(pattern, name), std::optional<bool>(false));
    QCOMPARE(NamePattern::matches(pattern, name + QLatin1Char('b')), std::optional<bool>(true));
}

// The search by words finds "*word*" by byte runs instead of reading every
// character: it must say what the matcher says, for ill-formed UTF-8 too and
// for the letters that match characters outside ASCII (K and U+212A, s and
// U+017F).
void TstNamePattern::findingAgreesWithMatching()
{
    const QStringList pieces = {"a", "K", "k", "s", "\u017F", "\u212A", "é", "鸡", "豆", "腐", "1", "号", "😀",
                                "#", "?", "*", "[鸡鸭]", "[!a]", "[0-9]", "[]"};
    const QList<QByteArray> bytes = {"a", "A", "k", "K", "s", "S", "\xE2\x84\xAA", "\xC5\xBF", "\xC3\xA9",
                                     "\xC3\x89", "\xE9\xB8\xA1", "\xE8\xB1\x86", "\xE8\x85\x90", "1", "7",
                                     "\xE5\x8F\xB7", "\xF0\x9F\x98\x80", "\x80", "\xE9", "\xE9\xB8", "\xFF",
                                     "\xC0\xAF", "\xED\xA0\x80", " "};
    std::mt19937 rng(42);
    auto any = [&](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(rng); };
    int checked = 0;
    for (int round = 0; round < 4000; ++round) {
        QString word;
        for (qsizetype n = 1 + any(4); n > 0; --n)
            word += pieces.at(any(pieces.size()));
        const auto pattern = NamePattern::Pattern::compile(QLatin1Char('*') + word + QLatin1Char('*'));
        QVERIFY(pattern.has_value());
        for (int t = 0; t < 8; ++t) {
            QByteArray text;
            for (qsizetype n = any(12); n > 0; --n)
                text += bytes.at(any(bytes.size()));
            const bool expected = pattern->matchesUtf8(text.constData(), text.size());
            QVERIFY2(pattern->findsInUtf8(text.constData(), text.size()) == expected,
                     qPrintable(word + QStringLiteral(" in ") + QString::fromLatin1(text.toHex(' '))));
            checked += expected;
        }
    }
    QVERIFY(checked > 1000);   // the texts were found often enough to tell
}

void TstNamePattern::matchedSpans_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("spans");   // "start+length", UTF-16 units

    QTest::newRow("each occurrence") << QStringList{"豆腐"} << "麻婆豆腐配豆腐" << "2+2 5+2";
    QTest::newRow("shortest from the leftmost start") << QStringList{"红*肉"} << "红烧肉和红烧鱼肉" << "0+3 4+4";
    QTest::newRow("outer stars dropped") << QStringList{"*豆腐*"} << "豆腐汤" << "0+2";
    QTest::newRow("several words") << QStringList{"#克", "盐"} << "盐 5克，盐" << "0+1 2+2 5+1";
    QTest::newRow("overlaps merge") << QStringList{"蛋", "鸡蛋"} << "鸡蛋汤" << "0+2";
    QTest::newRow("letter case") << QStringList{"tomato"} << "Tomato and TOMATO" << "0+6 11+6";
    QTest::newRow("outside the BMP") << QStringList{"?"} << "𠮷a" << "0+3";
    QTest::newRow("not found") << QStringList{"a*b"} << "aXXX" << "";
    QTest::newRow("only stars") << QStringList{"*"} << "abc" << "";
    QTest::newRow("invalid word") << QStringList{"[", "c"} << "abc" << "2+1";
}

void TstNamePattern::matchedSpans()
{
    QFETCH(QStringList, words);
    QFETCH(QString, text);
    QFETCH(QString, spans);
    QStringList found;
    for (const NamePattern::Span &span : NamePattern::matchedSpans(words, text))
        found << QStringLiteral("%1+%2").arg(span.start).arg(span.length);
    QCOMPARE(found.join(QLatin1Char(' ')), spans);
}

QTEST_GUILESS_MAIN(TstNamePattern)
#include "tst_namepattern.moc"
