// Saved pages as real sites write them: HTML5's named references, the
// variants of microdata and JSON-LD, Chinese recipe sites and pages that
// declare traditional Chinese.
#include "exchange/importrun.h"
#include "exchange/importsources.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray jsonLd(const QByteArray &json, const QByteArray &head = {}, const QByteArray &body = {})
{
    return "<html" + head + "><head><meta charset=utf-8><script type=\"application/ld+json\">" + json
           + "</script></head><body>" + body + "</body></html>";
}

QByteArray microdata(const QByteArray &properties)
{
    return "<html><body><div itemscope itemtype=\"https://schema.org/Recipe\">" + properties + "</div></body></html>";
}

QStringList lines(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
}

} // namespace

class TestImportPages : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("page.html"));
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() ? path : QString();
    }

    SourceReading read(const QByteArray &bytes)
    {
        const SourceReading reading = readSource(write(bytes));
        [&] { QVERIFY2(reading.refusal.isEmpty(), qPrintable(reading.refusal)); }();
        return reading;
    }

private slots:
    void decodesHtml5References_data();
    void decodesHtml5References();
};

void TestImportPages::decodesHtml5References_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("ingredients");
    const QByteArray fractions = "&frac13; cup flour\",\"&frac23; cup sugar\",\"&frac18; tsp salt\",\"&half; cup milk";
    const QStringList decoded{"⅓ cup flour", "⅔ cup sugar", "⅛ tsp salt", "½ cup milk"};
    QTest::newRow("JSON-LD") << jsonLd("{\"@type\":\"Recipe\",\"name\":\"Cake &frac13;\",\"recipeIngredient\":[\"" + fractions + "\"]}")
                             << "Cake ⅓" << decoded;
    QTest::newRow("JSON-LD, written about") << jsonLd(R"({"@type":"Recipe","name":"&amp;frac13; &amp;#189;",
        "recipeIngredient":["&copy 2020","?a=1&copy=2","&notin;x","&frac13"]})")
        << "&frac13; ½" << QStringList{"© 2020", "?a=1&copy=2", "∉x", "&frac13"};
    QTest::newRow("microdata") << microdata(R"(<h2 itemprop="name">Cake &frac13;</h2>
        <meta itemprop="recipeIngredient" content="&frac13; cup flour"><li itemprop="recipeIngredient">&frac23; cup sugar</li>
        <li itemprop="recipeIngredient">&frac18; tsp salt</li><li itemprop="recipeIngredient">&half; cup milk</li>)")
                               << "Cake ⅓" << decoded;
    QTest::newRow("microdata, written about") << microdata(R"(<h2 itemprop="name">&amp;frac13; &copy 2020</h2>
        <meta itemprop="recipeIngredient" content="&amp;frac13; &half"><li itemprop="recipeIngredient">a&lt;b &amp c</li>)")
        << "&frac13; © 2020" << QStringList{"&frac13; &half", "a<b & c"};
    QTest::newRow("title, named in no recipe") << QByteArray("<html><head><title>Pie &frac23;</title></head><body>"
        "<div itemscope itemtype=\"https://schema.org/Recipe\"><p itemprop=recipeIngredient>egg</p></div></body></html>")
        << "Pie ⅔" << QStringList{"egg"};
}

void TestImportPages::decodesHtml5References()
{
    QFETCH(QByteArray, page);
    const SourceReading reading = read(page);
    QCOMPARE(reading.recipes.size(), 1);
    QTEST(reading.recipes.at(0).name, "name");
    QTEST(lines(reading.recipes.at(0).ingredients), "ingredients");
}

QTEST_GUILESS_MAIN(TestImportPages)
#include "tst_importpages.moc"
