// Awkward input through the real windows: megabyte texts, names full of
// quotes, backslashes, SQL wildcards, line breaks and characters beyond the
// basic plane, blanks only, and picture paths that name no usable picture.
// Everything is either kept and shown exactly, or refused with a message.
#include "reliability.h"

#include "core/pictures.h"
#include "skin/richtextbox.h"
#include "skin/imagecontrol.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QImageReader>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <QtTest>
#include <cstring>
#include <sys/resource.h>

using namespace zx;

using namespace Rel;

namespace {

const char *const Seed =
    "INSERT INTO \"02\"(category) VALUES ('汤'), ('凉菜');"
    "INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture)"
    " VALUES ('汤', '紫菜蛋花汤', '紫菜', '煮', '');";

QString lastMessage(const ScriptedDialogs &d) { return d.messages.isEmpty() ? QString() : d.messages.last().text; }

// Saves one dish through the add window, answering Yes; returns the last message.
QString saveThroughAdd(ScriptedDialogs &dialogs, const QString &category, const QString &name,
                       const QString &ingredients, const QString &method, const QString &picture = QString())
{
    AddDishWindow *add = Windows::show<AddDishWindow>(testCatalogue());
    if (!clickEntry(add->categories(), category))
        return QStringLiteral("<no category>");
    add->name()->clear();
    add->ingredients()->clear();
    add->method()->clear();
    typeText(add->name(), name);
    typeText(add->ingredients(), ingredients);
    typeText(add->method(), method);
    if (!picture.isEmpty()) {
        dialogs.pictures.enqueue(picture);
        press(add, "addimage");
    }
    dialogs.answers.enqueue(DialogService::Yes);
    press(add, "addcp");
    return lastMessage(dialogs);
}

// Clicks a dish node in the main tree the way the cook does.
bool clickDish(MainWindow *main, const QString &category, const QString &dish)
{
    CatalogueModel *m = main->treeModel();
    const QModelIndex root = m->rootIndex();
    for (int c = 0; c < m->rowCount(root); ++c) {
        const QModelIndex cat = m->index(c, 0, root);
        if (cat.data().toString() != category)
            continue;
        for (int d = 0; d < m->rowCount(cat); ++d) {
            const QModelIndex node = m->index(d, 0, cat);
            if (node.data().toString() != dish)
                continue;
            main->tree()->expand(cat);
            main->tree()->scrollTo(node);
            QTest::mouseClick(main->tree()->viewport(), Qt::LeftButton, {}, main->tree()->visualRect(node).center());
            return true;
        }
    }
    return false;
}

// Searches in the find window; returns the listed names.
QStringList searchFor(FindWindow *w, const QString &text)
{
    auto *box = child<QLineEdit>(w, "Text1");
    box->clear();
    typeText(box, text);
    press(w, "Image1");
    return entries(child<QListWidget>(w, "List1"));
}

quint32 pngCrc(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char ch : bytes) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose header claims the given size, with a token of image data.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    auto chunk = [](const char *type, const QByteArray &data) {
        QByteArray out(4, '\0');
        qToBigEndian<quint32>(quint32(data.size()), out.data());
        const QByteArray body = QByteArray(type, 4) + data;
        out += body;
        QByteArray crc(4, '\0');
        qToBigEndian<quint32>(pngCrc(body), crc.data());
        return out + crc;
    };
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8;    // bit depth
    ihdr[9] = 6;    // RGBA
    const QByteArray idat = qCompress(QByteArray(64, '\0')).mid(4);   // zlib stream of a few zero bytes
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", idat) + chunk("IEND", {});
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class BadInput : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeAll(); }

    void megabyteTexts();
    void awkwardNames();
    void blankOnly();
    void searchTextsThatAreNoPattern();
    void unusablePictures_data();
    void unusablePictures();
    void phonePhotoShows();
    void chooserOffersEveryPicture();
};

// 1 MB of ingredients and of method, in many lines, saved, shown and edited.
void BadInput::megabyteTexts()
{
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    QString ingredients, method;
    for (int i = 0; ingredients.size() < 1024 * 1024; ++i)
        ingredients += QStringLiteral("第%1行：豆腐 200 克，\"酱油\" 'a' \\n 50%_\n").arg(i);
    for (int i = 0; method.size() < 1024 * 1024; ++i)
        method += QStringLiteral("步骤%1 😀𠮷 先炒后炖\n").arg(i);
    ingredients.chop(1);
    method.chop(1);
    const QString crlfIngredients = QString(ingredients).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QString crlfMethod = QString(method).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));

    MainWindow *main = Windows::show<MainWindow>(testCatalogue());
    QCOMPARE(saveThroughAdd(dialogs, QStringLiteral("汤"), QStringLiteral("大锅菜"), ingredients, method),
             QStringLiteral("汤保存完毕！"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT ingredients FROM \"01\" WHERE \"名称\"='大锅菜'")), crlfIngredients);
    QCOMPARE(db.scalar(QStringLiteral("SELECT method FROM \"01\" WHERE \"名称\"='大锅菜'")), crlfMethod);

    QVERIFY(clickDish(main, QStringLiteral("汤"), QStringLiteral("大锅菜")));
    QCOMPARE(main->name()->text(), QStringLiteral("大锅菜"));
    QCOMPARE(main->ingredients()->text(), crlfIngredients);
    QCOMPARE(main->method()->text(), crlfMethod);

    FindWindow *search = Windows::show<FindWindow>(testCatalogue());
    QCOMPARE(searchFor(search, QStringLiteral("锅")), QStringList{QStringLiteral("大锅菜")});
    child<QListWidget>(search, "List1")->setCurrentRow(0);
    QCOMPARE(child<QTextEdit>(search, "Text3")->toPlainText(), ingredients);
    QCOMPARE(child<QTextEdit>(search, "Text4")->toPlainText(), method);
    // Storing it back unchanged keeps every byte.
    const QByteArray before = db.scalar(QStringLiteral("SELECT ingredients||method FROM \"01\" WHERE id=2")).toUtf8();
    dialogs.answers.enqueue(DialogService::Yes);
    press(search, "Image3");
    QCOMPARE(db.scalar(QStringLiteral("SELECT ingredients||method FROM \"01\" WHERE id=2")).toUtf8(), before);
}

// Each name is stored as typed, listed in the tree, found by its odd
// characters (which are no wildcards here) and nothing else, and shown.
void BadInput::awkwardNames()
{
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    const QStringList names = {
        QStringLiteral("O'Brien的\"红\"汤"),
        QStringLiteral("C:\\汤\\'; DROP TABLE \"01\"; --"),
        QStringLiteral("100%纯_鸡汤"),
        QStringLiteral("拉面🍜𠮷野家"),
        QStringLiteral("ä Ä 汤 ß"),
    };
    MainWindow *main = Windows::show<MainWindow>(testCatalogue());
    for (const QString &name : names)
        QCOMPARE(saveThroughAdd(dialogs, QStringLiteral("汤"), name, QStringLiteral("料"), QStringLiteral("做")),
                 QStringLiteral("汤保存完毕！"));

    QCOMPARE(db.rows(QStringLiteral("SELECT \"名称\" FROM \"01\" WHERE id > 1 ORDER BY id")), names);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"02\"")), QStringLiteral("2"));
    const QStringList tree = treeLines(main);
    for (const QString &name : names)
        QVERIFY2(tree.contains(QStringLiteral("  ") + name), qPrintable(name));
    QCOMPARE(main->windowTitle(), QStringLiteral("灶香居 2004 新春版 当前共有6道美食"));

    FindWindow *search = Windows::show<FindWindow>(testCatalogue());
    QCOMPARE(searchFor(search, QStringLiteral("'")), (QStringList{names[0], names[1]}));
    QCOMPARE(searchFor(search, QStringLiteral("\"")), (QStringList{names[0], names[1]}));
    QCOMPARE(searchFor(search, QStringLiteral("\\")), QStringList{names[1]});
    QCOMPARE(searchFor(search, QStringLiteral("%")), QStringList{names[2]});
    QCOMPARE(searchFor(search, QStringLiteral("_")), QStringList{names[2]});
    QCOMPARE(searchFor(search, QStringLiteral("🍜")), QStringList{names[3]});
    QCOMPARE(searchFor(search, QStringLiteral("面?𠮷")), QStringList{names[3]});   // one emoji is one character
    QCOMPARE(searchFor(search, QStringLiteral("Ä ä")), QStringList{names[4]});     // letters match in either case
    QCOMPARE(searchFor(search, QStringLiteral("DROP TABLE")), QStringList{names[1]});

    // Shown and edited exactly.
    QCOMPARE(searchFor(search, QStringLiteral("🍜")), QStringList{names[3]});
    child<QListWidget>(search, "List1")->setCurrentRow(0);
    QCOMPARE(child<QLineEdit>(search, "Text1")->text(), names[3]);
    auto *nameBox = child<QLineEdit>(search, "Text1");
    nameBox->clear();
    typeText(nameBox, QStringLiteral("拉面🍜'\\%_"));
    dialogs.answers.enqueue(DialogService::Yes);
    press(search, "Image3");
    QCOMPARE(db.scalar(QStringLiteral("SELECT \"名称\" FROM \"01\" WHERE id=5")), QStringLiteral("拉面🍜'\\%_"));
    QVERIFY(treeLines(main).contains(QStringLiteral("  拉面🍜'\\%_")));
    QVERIFY(clickDish(main, QStringLiteral("汤"), QStringLiteral("拉面🍜'\\%_")));
    QCOMPARE(main->name()->text(), QStringLiteral("拉面🍜'\\%_"));

    // A line break typed into the one-line name box: what the box holds is what is stored.
    AddDishWindow *add = Windows::show<AddDishWindow>(testCatalogue());
    QVERIFY(clickEntry(add->categories(), QStringLiteral("凉菜")));
    typeText(add->name(), QStringLiteral("上行\n下行"));
    const QString shown = add->name()->text();
    typeText(add->ingredients(), QStringLiteral("料"));
    typeText(add->method(), QStringLiteral("做"));
    dialogs.answers.enqueue(DialogService::Yes);
    press(add, "addcp");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("凉菜保存完毕！"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT \"名称\" FROM \"01\" ORDER BY id DESC LIMIT 1")), trimBlanks(shown));
}

// Blanks only: refused with the window's own message, nothing written.
void BadInput::blankOnly()
{
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    Windows::show<MainWindow>(testCatalogue());
    // After the load, which gives the file its catalogue index.
    const QByteArray before = db.bytes();
    QCOMPARE(saveThroughAdd(dialogs, QStringLiteral("汤"), QStringLiteral("   "), QStringLiteral("料"),
                            QStringLiteral("做")),
             QStringLiteral("资料都没有怎么保存啊？"));
    QCOMPARE(saveThroughAdd(dialogs, QStringLiteral("汤"), QStringLiteral("汤"), QStringLiteral("      "),
                            QStringLiteral("做")),
             QStringLiteral("资料都没有怎么保存啊？"));
    CategoryWindow *cats = Windows::show<CategoryWindow>(testCatalogue());
    dialogs.clear();
    press(cats, "Image1");
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("请填写菜谱分类名称！")});

    FindWindow *search = Windows::show<FindWindow>(testCatalogue());
    QCOMPARE(searchFor(search, QStringLiteral("紫菜")), QStringList{QStringLiteral("紫菜蛋花汤")});
    child<QListWidget>(search, "List1")->setCurrentRow(0);
    auto *method = child<QTextEdit>(search, "Text4");
    method->clear();
    typeText(method, QStringLiteral("    "));
    dialogs.clear();
    press(search, "Image3");
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("啥都没写怎么更新啊？")});
    QCOMPARE(db.bytes(), before);
}

// Pattern characters that make no pattern: nothing found, nothing said.
void BadInput::searchTextsThatAreNoPattern()
{
    TestDb db(QString::fromUtf8(Seed) + QStringLiteral(
        "INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture) VALUES ('汤', '[特]汤', 'a', 'b', '');"));
    ScriptedDialogs dialogs;
    FindWindow *search = Windows::show<FindWindow>(testCatalogue());
    QCOMPARE(searchFor(search, QStringLiteral("[")), QStringList());
    QCOMPARE(searchFor(search, QStringLiteral("[z-a]")), QStringList());
    QCOMPARE(dialogs.texts(), QStringList());
    // Written as a list, the bracket is found.
    QCOMPARE(searchFor(search, QStringLiteral("[[]特")), QStringList{QStringLiteral("[特]汤")});
    // A search text as long as the box takes is searched like any other.
    QString longText;
    for (int i = 0; i < 10000; ++i)
        longText += QStringLiteral("?*[!x]");
    QCOMPARE(searchFor(search, longText + QStringLiteral("x")), QStringList());
    QCOMPARE(searchFor(search, QString(30000, QLatin1Char('*')) + QStringLiteral("特")), QStringList{QStringLiteral("[特]汤")});
}

void BadInput::unusablePictures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << QStringLiteral("missing");
    QTest::newRow("directory") << QStringLiteral("directory");
    QTest::newRow("not a picture") << QStringLiteral("text");
    QTest::newRow("PNG claiming 20000 x 20000") << QStringLiteral("huge");
    QTest::newRow("PNG claiming 8000 x 8000") << QStringLiteral("large");
    QTest::newRow("PNG cut short") << QStringLiteral("cut");
}

// A path that names no usable picture: the preview keeps what it had, the
// search window says so, and no memory is spent on a claimed giant.
void BadInput::unusablePictures()
{
    QFETCH(QString, kind);
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    QString path = db.dir() + QStringLiteral("pic");
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path + QStringLiteral(".png")));
        path += QStringLiteral(".png");
    } else if (kind == QLatin1String("text")) {
        path += QStringLiteral(".jpg");
        writeFile(path, "菜谱的照片还没拍");
    } else if (kind == QLatin1String("huge")) {
        path += QStringLiteral(".png");
        writeFile(path, pngClaiming(20000, 20000));
    } else if (kind == QLatin1String("large")) {
        path += QStringLiteral(".png");
        writeFile(path, pngClaiming(8000, 8000));
    } else if (kind == QLatin1String("cut")) {
        path += QStringLiteral(".png");
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(path, "PNG"));
        writeFile(path, readFile(path).left(60));
    } else {
        path += QStringLiteral("-gone.png");
    }
    const QString good = db.dir() + QStringLiteral("good.png");
    QImage green(40, 30, QImage::Format_RGB32);
    green.fill(Qt::green);
    QVERIFY(green.save(good, "PNG"));

    const long peakBefore = peakKilobytes();
    QVERIFY(!loadPicture(path).has_value());
    QVERIFY2(peakKilobytes() - peakBefore < 64 * 1024, "loading a claimed giant took memory");

    // The add window: a good picture first, then the bad one keeps the preview.
    MainWindow *main = Windows::show<MainWindow>(testCatalogue());
    AddDishWindow *add = Windows::show<AddDishWindow>(testCatalogue());
    dialogs.pictures.enqueue(good);
    press(add, "addimage");
    const QImage shownBefore = add->picture()->pixmap().toImage();
    QCOMPARE(shownBefore.pixelColor(2, 2), QColor(Qt::green));
    dialogs.pictures.enqueue(path);
    press(add, "addimage");
    QCOMPARE(add->picture()->pixmap().toImage(), shownBefore);
    QCOMPARE(add->picturePath()->text(), path);
    // Saving with it is refused, and nothing is written.
    QCOMPARE(saveThroughAdd(dialogs, QStringLiteral("汤"), QStringLiteral("无图汤"), QStringLiteral("料"),
                            QStringLiteral("做")),
             QStringLiteral("找不到图片文件：") + path);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\" WHERE \"名称\"='无图汤'")), QStringLiteral("0"));
    // A path stored before, or a picture moved since, is kept.
    db.exec(QStringLiteral("INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture) VALUES('汤', '无图汤', '料', '做', '%1')")
                .arg(path));
    testCatalogue().followOutsideChanges();

    // The main window: showing it says nothing and keeps the last picture.
    const int before = dialogs.messages.size();
    QVERIFY(clickDish(main, QStringLiteral("汤"), QStringLiteral("无图汤")));
    QCOMPARE(main->name()->text(), QStringLiteral("无图汤"));
    QCOMPARE(dialogs.messages.size(), before);

    // The search window refuses it as a new picture and keeps the old path.
    FindWindow *search = Windows::show<FindWindow>(testCatalogue());
    QCOMPARE(searchFor(search, QStringLiteral("无图")), QStringList{QStringLiteral("无图汤")});
    child<QListWidget>(search, "List1")->setCurrentRow(0);
    auto *pathBox = child<QLineEdit>(search, "Text2");
    QCOMPARE(pathBox->text(), path);
    dialogs.pictures.enqueue(good);
    press(search, "Image2");
    QCOMPARE(pathBox->text(), good);
    dialogs.clear();
    dialogs.pictures.enqueue(path);
    press(search, "Image2");
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("这个文件不能作为图片打开。")});
    QCOMPARE(pathBox->text(), good);
    QCOMPARE(child<ImageControl>(search, "Image8")->picture().toImage().pixelColor(2, 2), QColor(Qt::green));
}

// A 48-megapixel phone photo (8064 x 6048, colour) shows in the main
// window, decoded at the frame's size: the full picture (195 MB at four
// bytes a pixel) is never held in memory.
void BadInput::phonePhotoShows()
{
    TestDb db(QString::fromUtf8(Seed));
    const QString path = db.dir() + QStringLiteral("IMG_0001.JPG");
    const QSize full(8064, 6048);
    {
        // One byte a pixel here: red on the left half, green on the right.
        QImage photo(full, QImage::Format_Indexed8);
        photo.setColorTable({qRgb(220, 30, 30), qRgb(30, 200, 40)});
        photo.fill(0);
        for (int y = 0; y < photo.height(); ++y)
            std::memset(photo.scanLine(y) + full.width() / 2, 1, size_t(full.width() / 2));
        QVERIFY(photo.save(path, "JPEG", 85));
    }
    QCOMPARE(QImageReader(path).size(), full);
    db.exec(QStringLiteral("INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture)"
                           " VALUES ('汤', '手机拍的汤', '料', '做', '%1');").arg(path));
    MainWindow *main = Windows::show<MainWindow>(testCatalogue());

    const long peakBefore = peakKilobytes();
    QVERIFY(clickDish(main, QStringLiteral("汤"), QStringLiteral("手机拍的汤")));
    QVERIFY2(peakKilobytes() - peakBefore < 64 * 1024, "the photo was held at full size");
    const QImage shown = main->picture()->picture().toImage();
    QVERIFY(!shown.isNull());
    // At the frame's width, in the photo's own proportions.
    QCOMPARE(shown.width(), main->picture()->width());
    QVERIFY2(qAbs(shown.height() - shown.width() * full.height() / full.width()) <= 1,
             qPrintable(QStringLiteral("%1 x %2").arg(shown.width()).arg(shown.height())));
    const QColor left = shown.pixelColor(shown.width() / 4, shown.height() / 2);
    const QColor right = shown.pixelColor(shown.width() * 3 / 4, shown.height() / 2);
    QVERIFY(left.red() > 180 && left.green() < 80);
    QVERIFY(right.green() > 160 && right.red() < 80);
}

// The picture chooser (the real file dialog, opened from the add window)
// offers every picture the program shows, whatever the case of its name.
void BadInput::chooserOffersEveryPicture()
{
    TestDb db(QString::fromUtf8(Seed));
    QTemporaryDir pictures;
    const QStringList offered = {QStringLiteral("IMG_0002.JPG"), QStringLiteral("dish.jpeg"),
                                 QStringLiteral("Scan.PNG"), QStringLiteral("old.bmp"), QStringLiteral("anim.Gif")};
    for (const QString &name : offered + QStringList{QStringLiteral("notes.txt")})
        writeFile(pictures.filePath(name), "x");
    AddDishWindow *add = Windows::show<AddDishWindow>(testCatalogue());

    QString title;
    QStringList filters, listed;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        // Listed once the folder is read to its end.
        auto *files = dialog->findChild<QFileSystemModel *>();
        QSignalSpy loaded(files, &QFileSystemModel::directoryLoaded);
        dialog->setDirectory(pictures.path());
        auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        QDeadlineTimer deadline(10000);
        while (view && !deadline.hasExpired()
               && (loaded.isEmpty() || view->model()->rowCount(view->rootIndex()) < offered.size()))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        for (int i = 0; view && i < view->model()->rowCount(view->rootIndex()); ++i)
            listed << view->model()->index(i, 0, view->rootIndex()).data().toString();
        dialog->reject();
    });
    press(add, "addimage");

    QCOMPARE(title, QStringLiteral("选择菜谱图片"));
    QCOMPARE(filters, (QStringList{QStringLiteral("(所有图片文件) (*.jpg *.jpeg *.png *.bmp *.gif)"),
                                   QStringLiteral("*.jpg (*.jpg)"), QStringLiteral("*.gif (*.gif)"),
                                   QStringLiteral("*.bmp (*.bmp)")}));
    listed.sort();
    QStringList expected = offered;
    expected.sort();
    QCOMPARE(listed, expected);
    QVERIFY(add->picturePath()->text().isEmpty());
}

QTEST_MAIN(BadInput)
#include "tst_badinput.moc"
