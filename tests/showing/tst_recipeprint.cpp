// The printed page of a dish: its exact text, the printer dialog's cancel,
// and what really lands on paper (a PDF file, and the "PDF" print queue).
#include "core/appinfo.h"
#include "showing/recipeprint.h"
#include "support/printout.h"
#include "support/scripteddialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpressionMatchIterator>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Every CJK character of `expected` shows up in `actual`.
QString missingChinese(const QString &expected, const QString &actual)
{
    QString missing;
    for (const QChar c : expected) {
        if (c.unicode() >= 0x3000 && !actual.contains(c) && !missing.contains(c))
            missing += c;
    }
    return missing;
}

// The page's lines as they come back from the paper: blank lines left
// out, runs of blanks made one.
QStringList pageLines(const QString &page)
{
    return printedLines(QString(page).remove(QLatin1Char('\r')));
}

// A word pdftotext -bbox finds on the page, in points.
struct Word {
    QString text;
    QRectF box;
};
struct Sheet {
    QSizeF size;
    QList<Word> words;
};
Sheet readSheet(const QString &pdf)
{
    const QString xml = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                                                          QStringLiteral("-")});
    Sheet sheet;
    const QRegularExpression page(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const QRegularExpressionMatch size = page.match(xml);
    sheet.size = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (QRegularExpressionMatchIterator it = word.globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        sheet.words.append({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                                  QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return sheet;
}
const Word *find(const Sheet &sheet, const QString &text)
{
    for (const Word &w : sheet.words)
        if (w.text == text)
            return &w;
    return nullptr;
}
// The pictures in a PDF as pdfimages lists them: width, height and the
// dots per inch each way they are drawn at.
QList<QList<double>> picturesIn(const QString &pdf)
{
    QList<QList<double>> pictures;
    for (const QString &line : run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(QLatin1Char('\n')).mid(2)) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() > 13 && f[2] == QLatin1String("image"))
            pictures.append({f[3].toDouble(), f[4].toDouble(), f[12].toDouble(), f[13].toDouble()});
    }
    return pictures;
}

const QString Name = QStringLiteral("红烧狮子头");
const QString Ingredients = QStringLiteral("猪肉末五百克\r\n荸荠八个\n鸡蛋一个");
const QString Method = QStringLiteral("肉末加荸荠碎拌匀，团成大丸子。\r\n下锅煎黄后加酱油慢炖一小时。");
} // namespace

class TestRecipePrint : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        App::siteAddress() = QStringLiteral("http://www.zaoxiangju.example.com");
    }

    void pageTextIsTheEighteenLines()
    {
        const QString page = composeRecipePage(QStringLiteral("清蒸鲈鱼"), QStringLiteral("鲈鱼一条"),
                                                QStringLiteral("蒸八分钟"));
        const QString dashes(66, QLatin1Char('-'));
        const QString expected =
            QStringLiteral("灶香居2004 \r\n") + dashes + QStringLiteral("\r\n\r\n"
            "菜    名: 清蒸鲈鱼\r\n\r\n"
            "配    料:\r\n鲈鱼一条\r\n\r\n") + dashes + QStringLiteral("\r\n\r\n"
            "制作方法: \r\n蒸八分钟\r\n\r\n\r\n") + dashes + QStringLiteral("\r\n\r\n")
            + QString(50, QLatin1Char(' ')) + QStringLiteral("青梧软件\r\n")
            + QString(46, QLatin1Char(' ')) + QStringLiteral("http://www.zaoxiangju.example.com\r\n");
        QCOMPARE(page, expected);
        QCOMPARE(page.toUtf8(), expected.toUtf8());

        // Every line ends in CR LF; no lone LF or CR anywhere.
        QVERIFY(page.endsWith(QLatin1String("\r\n")));
        QCOMPARE(page.count(QLatin1Char('\n')), 18);
        QCOMPARE(page.count(QLatin1Char('\r')), 18);
        QCOMPARE(page.count(QLatin1String("\r\n")), 18);

        const QStringList lines = page.split(QLatin1String("\r\n"));
        QCOMPARE(lines.size(), 19); // the last is the empty rest after the final break
        for (int i : {1, 8, 14}) {
            QCOMPARE(lines[i].size(), 66);
            QCOMPARE(lines[i].count(QLatin1Char('-')), 66);
        }
        QCOMPARE(lines[16].indexOf(QStringLiteral("青梧软件")), 50);
        QCOMPARE(lines[17].indexOf(QStringLiteral("http://")), 46);
    }

    void pageKeepsLineBreaksAndTheSiteAddress()
    {
        App::siteAddress() = QStringLiteral("https://cook.example.org");
        const QString page = composeRecipePage(Name, Ingredients, Method);
        // Ingredients and method keep their breaks, every one as CR LF.
        QVERIFY(page.contains(QStringLiteral("配    料:\r\n猪肉末五百克\r\n荸荠八个\r\n鸡蛋一个\r\n\r\n---")));
        QVERIFY(page.contains(QStringLiteral("制作方法: \r\n肉末加荸荠碎拌匀，团成大丸子。\r\n"
                                             "下锅煎黄后加酱油慢炖一小时。\r\n\r\n\r\n---")));
        QCOMPARE(page.count(QLatin1Char('\n')), 18 + 3);
        QCOMPARE(page.count(QLatin1Char('\r')), 18 + 3);
        QVERIFY(page.endsWith(QString(46, QLatin1Char(' ')) + QStringLiteral("https://cook.example.org\r\n")));

        // What the caller passes is printed as it is: the caller trims.
        const QString spaced = composeRecipePage(QStringLiteral("鱼"), QString(), QString());
        QVERIFY(spaced.contains(QStringLiteral("\r\n菜    名: 鱼\r\n")));
        QVERIFY(spaced.contains(QStringLiteral("配    料:\r\n\r\n\r\n---")));
        QVERIFY(spaced.contains(QStringLiteral("制作方法: \r\n\r\n\r\n\r\n---")));
    }

    void printedPageIsTheComposedPageInTheSongFace()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("page.pdf"));
        dialogs.printerAnswers.enqueue(true);
        dialogs.printerSetup = [&](QPrinter &p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(out);
        };
        printRecipe(Name, Ingredients, Method);
        QCOMPARE(printedLines(pdfText(out)), pageLines(composeRecipePage(Name, Ingredients, Method)));
        // Laid out in our Song face.
        const QString fonts = run(QStringLiteral("pdffonts"), {out});
        QVERIFY2(fonts.contains(QStringLiteral("UMing")) || fonts.contains(QStringLiteral("SimSun"))
                     || fonts.contains(QStringLiteral("宋体")),
                 qPrintable(fonts));
        // Printed again: the new page alone.
        const QStringList again = printedLines(printOut(dialogs, [] {
            printRecipe(QStringLiteral("白灼虾"), QStringLiteral("虾"), QStringLiteral("水开下虾"));
        }));
        QCOMPARE(again, pageLines(composeRecipePage(QStringLiteral("白灼虾"), QStringLiteral("虾"),
                                                    QStringLiteral("水开下虾"))));
        QVERIFY(again.contains(QStringLiteral("菜 名: 白灼虾")));
        QVERIFY(!again.contains(QStringLiteral("菜 名: ") + Name));
    }

    void aPrintedDishKeepsInsideItsMargins_data()
    {
        QTest::addColumn<QSize>("picture");   // invalid: none; empty: a file that is no picture
        QTest::addColumn<QString>("method");
        const QString longStep = QStringLiteral("将狮子头轻轻放入砂锅，加入高汤没过丸子，大火烧开后撇去浮沫，转小火加盖慢炖一个半小时，"
                                                "期间不要翻动，以免丸子散开；最后放入菜心，再煮五分钟即可出锅。")
                                     .repeated(2);
        QTest::newRow("tall photo, a long method line") << QSize(600, 1000) << longStep;
        QTest::newRow("wide photo") << QSize(1600, 400) << Method;
        QTest::newRow("no picture, a long method line") << QSize() << longStep;
        QTest::newRow("a picture that cannot be read") << QSize(0, 0) << Method;
    }

    // On A4 through the real print path, on one page: the category under
    // the name, the picture in its proportions and at most a third of the
    // page, every word at least 15 mm from every edge, and the method
    // wrapped inside the rules; the job named after the dish.
    void aPrintedDishKeepsInsideItsMargins()
    {
        QFETCH(QSize, picture);
        QFETCH(QString, method);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("page.pdf"));
        QString path;
        if (picture.isValid()) {
            path = dir.filePath(QStringLiteral("photo.png"));
            QImage photo(picture.isEmpty() ? QSize(1, 1) : picture, QImage::Format_RGB32);
            photo.fill(Qt::darkYellow);
            if (picture.isEmpty())
                QFile(path).open(QIODevice::WriteOnly);   // an empty file: no picture
            else
                QVERIFY(photo.save(path));
        }
        ScriptedDialogs dialogs;
        dialogs.printerAnswers.enqueue(true);
        dialogs.printerSetup = [&](QPrinter &p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(out);
        };
        printRecipe(PrintedDish{Name, QString(), QStringLiteral("家常菜"), Ingredients, method, path});
        QVERIFY(dialogs.messages.isEmpty());

        const Sheet sheet = readSheet(out);
        QVERIFY2(qAbs(sheet.size.width() - 595.3) < 1 && qAbs(sheet.size.height() - 841.9) < 1, "not A4");
        const double margin = 15 / 25.4 * 72 - 0.5;
        const QRectF inside(margin, margin, sheet.size.width() - 2 * margin, sheet.size.height() - 2 * margin);
        const Word *rule = find(sheet, QString(66, QLatin1Char('-')));
        QVERIFY(rule);
        for (const Word &w : sheet.words) {
            QVERIFY2(inside.contains(w.box), qPrintable(w.text));
            if (!w.text.startsWith(QLatin1String("http")) && w.text != QLatin1String("青梧软件"))
                QVERIFY2(w.box.right() <= rule->box.right() + 0.5, qPrintable(w.text));
        }
        const Word *name = find(sheet, Name), *category = find(sheet, QStringLiteral("家常菜"));
        QVERIFY(name && category);
        QVERIFY(category->box.top() > name->box.bottom());

        const QList<QList<double>> pictures = picturesIn(out);
        QCOMPARE(pictures.size(), picture.isEmpty() ? 0 : 1);
        if (!pictures.isEmpty()) {
            const QList<double> &shown = pictures.first();
            QVERIFY2(qAbs(shown[0] / shown[1] - double(picture.width()) / picture.height()) < 0.02, "out of proportion");
            QVERIFY2(qAbs(shown[2] - shown[3]) <= 1, "drawn out of proportion");
            QVERIFY(shown[1] / shown[3] * 72 <= sheet.size.height() / 3 + 1);
        }
        const QString info = run(QStringLiteral("pdfinfo"), {out});
        QVERIFY(info.contains(QStringLiteral("灶香居 2004 - ") + Name));
        QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    }

    void withNoPrinterTheCookIsTold()
    {
        ScriptedDialogs dialogs;
        dialogs.printers = false;
        printRecipe(Name, Ingredients, Method);
        QCOMPARE(dialogs.printerDialogs, 0);
        QCOMPARE(dialogs.texts(), QStringList{QString::fromUtf8(NoPrinter)});
    }

    void cancellingPrintsNothingAndSaysNothing()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("page.pdf"));
        ScriptedDialogs dialogs;
        dialogs.printerAnswers.enqueue(false);
        dialogs.printerSetup = [&](QPrinter &p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(out);
        };
        printRecipe(Name, Ingredients, Method);
        QCOMPARE(dialogs.printerDialogs, 1);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void aRefusedPrintIsTold()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("no such folder/page.pdf"));
        ScriptedDialogs dialogs;
        dialogs.printerAnswers.enqueue(true);
        dialogs.printerSetup = [&](QPrinter &p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(out);
        };
        printRecipe(Name, Ingredients, Method);
        QCOMPARE(dialogs.texts(), QStringList{QString::fromUtf8(PrintRefused)});
        QVERIFY(!QFileInfo::exists(out));
    }

    void printsTheWholePageToAPdfFile()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("page.pdf"));
        ScriptedDialogs dialogs;
        dialogs.printerAnswers.enqueue(true);
        dialogs.printerSetup = [&](QPrinter &p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(out);
        };
        printRecipe(Name, Ingredients, Method);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(QFileInfo(out).size() > 0);

        const QString text = pdfText(out);
        const QString page = composeRecipePage(Name, Ingredients, Method);
        QCOMPARE(missingChinese(page, text), QString());
        const QStringList lines = printedLines(text);
        QCOMPARE(lines.first(), QStringLiteral("灶香居2004"));
        QVERIFY(lines.contains(QString(66, QLatin1Char('-'))));
        QVERIFY(lines.contains(QStringLiteral("菜 名: 红烧狮子头")));
        QVERIFY(lines.contains(QStringLiteral("配 料:")));
        QVERIFY(lines.contains(QStringLiteral("制作方法:")));
        QCOMPARE(lines.count(QString(66, QLatin1Char('-'))), 3);
        QVERIFY(lines.contains(QStringLiteral("猪肉末五百克")));
        QVERIFY(lines.contains(QStringLiteral("荸荠八个")));
        QVERIFY(lines.contains(QStringLiteral("下锅煎黄后加酱油慢炖一小时。")));
        // Nothing added after the footer: no page number.
        QCOMPARE(lines.last(), QStringLiteral("http://www.zaoxiangju.example.com"));
        QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("青梧软件"));
        // The footer is pushed towards the right end of the dash lines.
        const QString raw = text.section(QStringLiteral("青梧软件"), 0, 0).section(QLatin1Char('\n'), -1);
        QVERIFY2(raw.size() > 30 && raw.trimmed().isEmpty(), qPrintable(raw));
        for (const QString &l : lines)
            QVERIFY2(l != QLatin1String("1"), "a page number was added");
        QCOMPARE(run(QStringLiteral("pdfinfo"), {out}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), true);
    }

    // Whatever range the cook picks in the printer dialog, the whole page
    // lands on paper.
    void printsTheWholePageWhateverRangeIsPicked()
    {
        ScriptedDialogs dialogs;
        dialogs.printerAnswers.enqueue(true);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("sel.pdf"));
        dialogs.printerSetup = [&](QPrinter &p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(out);
            p.setPrintRange(QPrinter::Selection);
        };
        printRecipe(Name, Ingredients, Method);
        QCOMPARE(dialogs.printerDialogs, 1);
        QCOMPARE(printedLines(pdfText(out)), pageLines(composeRecipePage(Name, Ingredients, Method)));
    }

    void printsThroughThePdfQueue()
    {
        if (!QPrinterInfo::availablePrinterNames().contains(QStringLiteral("PDF")))
            QSKIP("no print queue named \"PDF\" (run scripts/start-cups to set up cups-pdf)");
        const QDir pdfDir(QDir::homePath() + QStringLiteral("/PDF"));
        auto newest = [&]() {
            const QFileInfoList files = pdfDir.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
            return files.isEmpty() ? QFileInfo() : files.first();
        };
        const QStringList before = pdfDir.entryList({QStringLiteral("*.pdf")}, QDir::Files);

        ScriptedDialogs dialogs;
        dialogs.printerAnswers.enqueue(true);
        dialogs.printerSetup = [](QPrinter &p) { p.setPrinterName(QStringLiteral("PDF")); };
        // A tag of Chinese characters tells this job's file from older ones
        // (digits do not survive the queue's PDF rewrite as extractable text).
        const QString stems = QStringLiteral("甲乙丙丁戊己庚辛壬癸");
        QString name = QStringLiteral("麻婆豆腐");
        for (int i = 0; i < 4; ++i)
            name += stems.at(QRandomGenerator::global()->bounded(stems.size()));
        printRecipe(name, QStringLiteral("豆腐一块\r\n牛肉末"), QStringLiteral("先炒肉末，再下豆腐。"));
        QVERIFY(dialogs.messages.isEmpty());

        // The job leaves the queue, then cups-pdf writes the file.
        QTRY_VERIFY_WITH_TIMEOUT(run(QStringLiteral("lpstat"), {QStringLiteral("-o"), QStringLiteral("PDF")}).trimmed().isEmpty(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(pdfDir.entryList({QStringLiteral("*.pdf")}, QDir::Files).size() > before.size(), 60000);
        QString text;
        QTRY_VERIFY_WITH_TIMEOUT((text = pdfText(newest().filePath())).contains(name), 30000);
        const QStringList lines = printedLines(text);
        QVERIFY(lines.first().startsWith(QStringLiteral("灶香居")));
        QVERIFY(lines.contains(QStringLiteral("菜 名: ") + name));
        QVERIFY(lines.contains(QStringLiteral("豆腐一块")));
        QVERIFY(lines.contains(QStringLiteral("先炒肉末，再下豆腐。")));
        QCOMPARE(lines.last(), QStringLiteral("http://www.zaoxiangju.example.com"));
    }
};

QTEST_MAIN(TestRecipePrint)
#include "tst_recipeprint.moc"
