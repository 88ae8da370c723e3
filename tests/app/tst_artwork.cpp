// The pictures compiled into the program: every resource the windows ask for
// is there at its exact size, picture buttons carry a readable caption in
// their middle, and pictures meant to differ do differ.
#include "skin/artwork.h"
#include "skin/imagecontrol.h"

#include <QColorSpace>
#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtTest>


namespace {

struct Asset {
    const char *path;
    QSize size;
};

const Asset Toolbar[] = {
    {":/toolbar/daily.png", {32, 32}},    {":/toolbar/add.png", {32, 32}},
    {":/toolbar/find.png", {32, 32}},     {":/toolbar/category.png", {32, 32}},
    {":/toolbar/upgrade.png", {32, 32}},  {":/toolbar/about.png", {32, 32}},
    {":/toolbar/exit.png", {32, 32}},
};

const Asset Tree[] = {
    {":/tree/root.png", {16, 16}},          {":/tree/category.png", {16, 16}},
    {":/tree/category_selected.png", {16, 16}}, {":/tree/dish.png", {16, 16}},
    {":/tree/dish_selected.png", {16, 16}},
};

const Asset Buttons[] = {
    {":/buttons/print.png", {94, 32}},           {":/buttons/insert_picture.png", {94, 32}},
    {":/buttons/add.png", {94, 32}},             {":/buttons/add_category.png", {94, 32}},
    {":/buttons/delete_category.png", {94, 32}}, {":/buttons/search.png", {94, 32}},
    {":/buttons/update.png", {94, 32}},          {":/buttons/reset.png", {94, 32}},
    {":/buttons/show_dish.png", {94, 32}},       {":/buttons/download_db.png", {94, 32}},
    {":/buttons/download_latest.png", {94, 32}},
};

const Asset Pictures[] = {
    {":/main/splash.png", {448, 345}}, {":/main/image9.png", {225, 144}},
    {":/main/banner.png", {153, 41}},  {":/web/down.png", {120, 150}},
    {":/web/about.png", {120, 150}},   {":/app/icon64.png", {64, 64}},
};

QImage load(const char *path)
{
    return QImage(QString::fromLatin1(path)).convertToFormat(QImage::Format_ARGB32);
}

bool isDarkInk(QRgb px)
{
    return qAlpha(px) > 200 && qGray(px) < 80;
}

int opaquePixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) > 0;
    return n;
}

template <size_t N>
void addRows(const Asset (&assets)[N])
{
    for (const Asset &a : assets)
        QTest::newRow(a.path) << QString::fromLatin1(a.path) << a.size;
}

} // namespace

class ArtworkTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(assets); }

    void everyPictureHasItsSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        addRows(Toolbar);
        addRows(Tree);
        addRows(Buttons);
        addRows(Pictures);
    }
    void everyPictureHasItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QVERIFY2(QFile::exists(path), qPrintable(path + " is not compiled in"));
        const QImage img(path);
        QVERIFY2(!img.isNull(), qPrintable(path + " does not load"));
        QCOMPARE(img.size(), size);
        // Nothing is an empty canvas: at least a quarter of it is painted.
        QVERIFY(opaquePixels(img.convertToFormat(QImage::Format_ARGB32)) * 4 >= size.width() * size.height());
    }

    void buttonCaptionsAreCentredDarkInk_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        addRows(Buttons);
    }
    void buttonCaptionsAreCentredDarkInk()
    {
        QFETCH(QString, path);
        const QImage img = load(qPrintable(path));
        // The caption's ink: dark pixels inside the body, away from the outline.
        QRect ink;
        int count = 0;
        for (int y = 4; y < img.height() - 5; ++y)
            for (int x = 4; x < img.width() - 4; ++x)
                if (isDarkInk(img.pixel(x, y))) {
                    ink |= QRect(x, y, 1, 1);
                    ++count;
                }
        // Even the shortest caption (two characters) leaves plenty of ink.
        QVERIFY2(count >= 60, qPrintable(QStringLiteral("only %1 caption pixels").arg(count)));
        // Centred on the body, fully inside it, and tall enough to read.
        const QPointF mid(img.width() / 2.0, img.height() / 2.0);
        QVERIFY2(qAbs(QRectF(ink).center().x() - mid.x()) <= 2.5, qPrintable(path));
        QVERIFY2(qAbs(QRectF(ink).center().y() - mid.y()) <= 2.5, qPrintable(path));
        QVERIFY(ink.height() >= 11);
        QVERIFY(ink.left() >= 8 && ink.right() <= img.width() - 9);
        // The body is rounded: its corner pixels stay see-through, its middle
        // is a light ground behind the ink.
        QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(img.pixel(img.width() - 1, 0)), 0);
        QCOMPARE(qAlpha(img.pixel(0, img.height() - 1)), 0);
        QVERIFY(qGray(img.pixel(6, img.height() / 2 - 6)) > 200);
    }

    void picturesMeantToDifferDiffer()
    {
        // A picture written under two names (a copy-and-paste slip in the
        // generator) would make two buttons or icons look alike.
        QSet<QByteArray> seen;
        auto distinct = [&seen](const auto &assets) {
            for (const Asset &a : assets) {
                const QImage img = load(a.path);
                const QByteArray bits(reinterpret_cast<const char *>(img.constBits()), img.sizeInBytes());
                QVERIFY2(!seen.contains(bits), a.path);
                seen.insert(bits);
            }
        };
        distinct(Toolbar);
        distinct(Tree);
        distinct(Buttons);
    }

    void dishFrameLeavesThePictureAreaPlain()
    {
        // The dish picture lies over (16, 16, 193, 113) of the frame: that
        // area is one light, opaque colour, and the frame round it is drawn.
        const QImage img = load(":/main/image9.png");
        const QRect inner(16, 16, 193, 113);
        const QRgb ground = img.pixel(inner.topLeft());
        QVERIFY(qAlpha(ground) == 255 && qGray(ground) > 220);
        for (int y = inner.top(); y <= inner.bottom(); ++y)
            for (int x = inner.left(); x <= inner.right(); ++x)
                QCOMPARE(img.pixel(x, y), ground);
        for (const QPoint &onFrame : {QPoint(8, 70), QPoint(216, 70), QPoint(112, 8), QPoint(112, 136)})
            QVERIFY(qAlpha(img.pixel(onFrame)) == 255 && img.pixel(onFrame) != ground);
    }

    void decodedTwinsAreTheirPictures()
    {
        // The program reads the twins the build decoded; each must be its
        // PNG exactly (format, colours, density), and none may be missing.
        ensureAssetResources();
        int pictures = 0;
        QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.startsWith(QLatin1String(":/raw/")) || path.startsWith(QLatin1String(":/qt-project.org")))
                continue;
            ++pictures;
            QVERIFY2(QFile::exists(QStringLiteral(":/raw/") + path.mid(2)), qPrintable(path + " has no decoded twin"));
            QImageReader reader(path, "png");
            const QImage png = reader.read();
            const QImage read = Artwork::image(path, 1.0);
            QVERIFY2(!png.isNull() && read == png, qPrintable(path));
            QCOMPARE(read.format(), png.format());
            QCOMPARE(read.dotsPerMeterX(), png.dotsPerMeterX());
            QCOMPARE(read.colorSpace(), png.colorSpace());
        }
        QVERIFY(pictures >= 80);
    }

    void splashFillsItsWindow()
    {
        // The splash window is covered by its picture: no see-through pixel.
        const QImage img = load(":/main/splash.png");
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) != 255)
                    QFAIL(qPrintable(QStringLiteral("translucent at %1,%2").arg(x).arg(y)));
    }
};

QTEST_MAIN(ArtworkTest)
#include "tst_artwork.moc"
