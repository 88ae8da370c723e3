// The search window's "Like" patterns, as a table of (pattern, name, expected).
#include "store/jetlike.h"

#include <QTest>

class TstJetLike : public QObject {
    Q_OBJECT
private slots:
    void matching_data();
    void matching();
    void invalidPatterns_data();
    void invalidPatterns();
    void manyStarsStayCheap();
};

void TstJetLike::matching_data()
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

void TstJetLike::matching()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, expected);

    QVERIFY(JetLike::isValid(pattern));
    QCOMPARE(JetLike::matches(pattern, name), std::optional<bool>(expected));
    // SQLite hands names over as UTF-8: both ways must agree.
    const auto compiled = JetLike::Pattern::compile(pattern);
    QVERIFY(compiled.has_value());
    const QByteArray utf8 = name.toUtf8();
    QCOMPARE(compiled->matchesUtf8(utf8.constData(), utf8.size()), expected);
}

void TstJetLike::invalidPatterns_data()
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

void TstJetLike::invalidPatterns()
{
    QFETCH(QString, pattern);
    QVERIFY(!JetLike::isValid(pattern));
    QVERIFY(!JetLike::matches(pattern, QStringLiteral("abc")).has_value());
    QVERIFY(!JetLike::Pattern::compile(pattern).has_value());
}

void TstJetLike::manyStarsStayCheap()
{
    // A pattern that takes exponential time in a naive backtracker; this one
    // must come back (the test would time out otherwise).
    const QString pattern = QStringLiteral("*a*a*a*a*a*a*a*a*a*a*a*a*b");
    const QString name(20000, QLatin1Char('a'));
    QCOMPARE(JetLike::matches(pattern, name), std::optional<bool>(false));
    QCOMPARE(JetLike::matches(pattern, name + QLatin1Char('b')), std::optional<bool>(true));
}

QTEST_GUILESS_MAIN(TstJetLike)
#include "tst_jetlike.moc"
