// The skinned window frame through a small framed window of our own: the
// layout at several sizes, the window region, the painted surface, the
// caption buttons' looks, closing, minimising and maximising, dragging by
// the title strip and resizing by the grips; the keyboard (picture buttons,
// Escape); the frame on a screen of twice the pixel density; a dish's
// picture in its frame.
#include "skin/framedwindow.h"
#include "skin/artwork.h"
#include "skin/captionbutton.h"
#include "skin/imagecontrol.h"
#include "skin/twips.h"
#include "core/registry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QtTest>


namespace {

// What the window shows where `control` is.
QImage shownAt(QWidget *control)
{
    return control->window()->grab(control->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
}
// What it shows there at rest: its painted surface.
QImage surfaceAt(FramedWindow &w, QWidget *control) { return w.surface().copy(control->geometry()); }
// A skin picture (":/skin/<name>.png") over the surface there.
QImage pictureOver(FramedWindow &w, QWidget *control, const QString &name)
{
    QImage look = surfaceAt(w, control);
    QPainter(&look).drawImage(0, 0, Artwork::image(QStringLiteral(":/skin/%1.png").arg(name)));
    return look;
}

class TestWindow : public FramedWindow {
public:
    TestWindow(Skin skin, const QString &caption = QStringLiteral("：：菜谱分类：："))
        : FramedWindow(QStringLiteral("testframe"), caption, skin, 5685, 3600, 480)
    {
        // A content label under the title strip's left end, and one in the panel.
        topLabel = new QLabel(QStringLiteral("标题下"), this);
        place(topLabel, 0, 0, 1500, 300);
        label = new QLabel(QStringLiteral("内容"), this);
        place(label, 1500, 1500, 1200, 300);
    }
    void closeFromFrame() override
    {
        ++closes;
        lookAtClose = shownAt(closeButton()) != surfaceAt(*this, closeButton());
        FramedWindow::closeFromFrame();
    }
    QLabel *topLabel = nullptr;
    QLabel *label = nullptr;
    int closes = 0;
    bool lookAtClose = true;
};

// A window that Escape does not close, as the main window.
class StayingWindow : public TestWindow {
public:
    StayingWindow() : TestWindow(Skin::ThreeButton) {}
    bool closesOnEscape() const override { return false; }
};

// Mouse events with exact global positions (the frame follows the pointer
// in screen coordinates while dragging).
void send(QWidget *w, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF local = w->mapFromGlobal(QPointF(global));
    QMouseEvent e(type, local, QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void moveOver(QWidget *w, QPoint local = QPoint(3, 3), Qt::MouseButtons buttons = Qt::NoButton)
{
    send(w, QEvent::MouseMove, w->mapToGlobal(local), Qt::NoButton, buttons);
}
void press(QWidget *w, Qt::MouseButton button = Qt::LeftButton, QPoint local = QPoint(3, 3))
{
    send(w, QEvent::MouseButtonPress, w->mapToGlobal(local), button, button);
}
void release(QWidget *w, Qt::MouseButton button = Qt::LeftButton, QPoint local = QPoint(3, 3))
{
    send(w, QEvent::MouseButtonRelease, w->mapToGlobal(local), button, Qt::NoButton);
}

bool isSkinRed(QRgb c) { return qRed(c) > 240 && qGreen(c) < 40 && qBlue(c) < 40; }

// Where a control should be, from its twips.
QRect at(double l, double t, double w, double h) { return Twips::rect(l, t, w, h); }

} // namespace

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void frameControlsAndPictures();
    void layoutFollowsEverySize_data();
    void layoutFollowsEverySize();
    void narrowWindowKeepsTitleStripWidth();
    void frameControlsStayOnTop();
    void regionCorners();
    void regionRoundsHalvesToEven();
    void tinyWindowStillGetsARegion();
    void paintedSurface();
    void skinRedNeverInsideRegion();
    void captionRepaintsWhenTitleChanges();
    void captionButtonStateTable_data();
    void captionButtonStateTable();
    void captionButtonLooksAndClick_data();
    void captionButtonLooksAndClick();
    void surfaceMoveResetsEveryMarkedButton();
    void closeOnlyWindowHasInertMinMax();
    void closeButtonClosesThroughCloseFromFrame();
    void minimiseAndMaximise();
    void dragByTitleStrip();
    void gripsResize();
    void keyboardPressesPictureButtons();
    void escapeClosesAsTheCloseButtonDoes();
    void regionAndSkinAtDoubleDensity();
    void dishPictureKeepsItsProportions_data();
    void dishPictureKeepsItsProportions();
};

void FrameTest::frameControlsAndPictures()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    for (const char *name : {"IMBar", "Immin", "Immax", "Imclose", "Pbottom", "Pright", "Pjiao"})
        QVERIFY2(w.findChild<QWidget *>(name), name);
    // The frame keeps its pictures itself, in no hidden control.
    for (QWidget *c : w.findChildren<QWidget *>())
        QVERIFY2(!c->isHidden(), qPrintable(c->objectName()));
    QCOMPARE(w.minimizeButton()->toolTip(), QStringLiteral("最小化"));
    QCOMPARE(w.maximizeButton()->toolTip(), QStringLiteral("最大化"));
    QCOMPARE(w.closeButton()->toolTip(), QStringLiteral("关闭"));
    QCOMPARE(w.bottomGrip()->cursor().shape(), Qt::SizeVerCursor);
    QCOMPARE(w.rightGrip()->cursor().shape(), Qt::SizeHorCursor);
    QCOMPARE(w.cornerGrip()->cursor().shape(), Qt::SizeFDiagCursor);

    // Resting, hover and pressed looks differ (captionButtonStateTable
    // checks each button's own pictures).
    w.show();
    const QImage resting = shownAt(w.minimizeButton());
    moveOver(w.minimizeButton());
    const QImage hovered = shownAt(w.minimizeButton());
    press(w.minimizeButton());
    QVERIFY(resting != hovered && hovered != shownAt(w.minimizeButton()) && resting != shownAt(w.minimizeButton()));
    release(w.minimizeButton(), Qt::LeftButton, QPoint(30, 30));

    QCOMPARE(w.skinImage().size(), QSize(150, 155));
    QCOMPARE(w.windowIcon().availableSizes(), QList<QSize>{QSize(16, 16)});

    // The two skins differ only where the close-only skin lacks two glyphs.
    TestWindow c(FramedWindow::Skin::CloseOnly);
    QVERIFY(c.skinImage() != w.skinImage());
    QCOMPARE(c.skinImage().copy(0, 30, 150, 125), w.skinImage().copy(0, 30, 150, 125));
    const QImage closeGlyph = w.skinImage().copy(39 + 80, 8, 17, 16);
    QCOMPARE(c.skinImage().copy(39 + 80, 8, 17, 16), closeGlyph);
}

void FrameTest::layoutFollowsEverySize_data()
{
    QTest::addColumn<QSize>("px");
    QTest::newRow("design") << QSize(379, 240);
    QTest::newRow("main window") << QSize(690, 528);
    QTest::newRow("wide") << QSize(1001, 333);
    QTest::newRow("minimised") << QSize(160, 24);
}

void FrameTest::layoutFollowsEverySize()
{
    QFETCH(QSize, px);
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.show();
    w.resize(px);
    const int W = px.width() * 15, H = px.height() * 15;
    QCOMPARE(w.titleStrip()->geometry(), at(0, 0, W - 1100, 255));
    QCOMPARE(w.minimizeButton()->geometry(), at(W - 1095, 120, 255, 240));
    QCOMPARE(w.maximizeButton()->geometry(), at(W - 780, 120, 255, 240));
    QCOMPARE(w.closeButton()->geometry(), at(W - 465, 120, 255, 240));
    QCOMPARE(w.bottomGrip()->geometry(), at(480, H - 195, W - 240, 195));
    QCOMPARE(w.cornerGrip()->geometry(), at(W - 255, H - 255, 255, 255));
    QCOMPARE(w.rightGrip()->geometry(), at(W - 135, -240, 135, H - 240));
    QCOMPARE(w.mask(), FramedWindow::frameRegion(W, H));
    QCOMPARE(w.surface().size(), px);
}

void FrameTest::narrowWindowKeepsTitleStripWidth()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.show();
    w.resize(300, 200);
    QCOMPARE(w.titleStrip()->width(), Twips::px(300 * 15 - 1100));
    // 990 x 150 twips: the strip's width and the right grip's height would
    // be negative, so both keep their previous values; everything after
    // them still happens.
    w.resize(66, 10);
    QCOMPARE(w.titleStrip()->width(), Twips::px(300 * 15 - 1100));
    QCOMPARE(w.rightGrip()->height(), Twips::px(200 * 15 - 240));
    QCOMPARE(w.closeButton()->geometry(), at(990 - 465, 120, 255, 240));
    QCOMPARE(w.cornerGrip()->geometry(), at(990 - 255, 150 - 255, 255, 255));
    QCOMPARE(w.bottomGrip()->geometry(), at(480, 150 - 195, 990 - 240, 195));
    QCOMPARE(w.surface().size(), QSize(66, 10));
    QCOMPARE(w.mask(), FramedWindow::frameRegion(990, 150));
    QVERIFY(!w.mask().isEmpty());
}

void FrameTest::frameControlsStayOnTop()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // The label was built after the frame, over the title strip's left end.
    QCOMPARE(w.childAt(30, 5), w.titleStrip());
    QCOMPARE(w.childAt(w.closeButton()->geometry().center()), w.closeButton());
    QCOMPARE(w.childAt(w.label->geometry().center()), w.label);
}

void FrameTest::regionCorners()
{
    const int w = 690, h = 528;
    const QRegion r = FramedWindow::frameRegion(w * 15, h * 15);
    // Top left: a quarter ellipse of 26 pixels' radius.
    QVERIFY(!r.contains(QPoint(0, 0)));
    QVERIFY(!r.contains(QPoint(5, 5)));
    QVERIFY(r.contains(QPoint(9, 9)));
    QVERIFY(!r.contains(QPoint(0, 12)));
    QVERIFY(r.contains(QPoint(0, 26)));
    QVERIFY(r.contains(QPoint(23, 0)));
    // Top right, with the ellipse one pixel past the right edge.
    QVERIFY(!r.contains(QPoint(w - 1, 0)));
    QVERIFY(!r.contains(QPoint(w - 3, 3)));
    QVERIFY(r.contains(QPoint(w - 9, 9)));
    QVERIFY(r.contains(QPoint(w - 1, 26)));
    QVERIFY(r.contains(QPoint(w, 26)));
    QVERIFY(!r.contains(QPoint(w, 60)));
    QCOMPARE(r.boundingRect().right(), w);
    // Bottom left.
    QVERIFY(!r.contains(QPoint(0, h - 1)));
    QVERIFY(!r.contains(QPoint(0, h - 12)));
    QVERIFY(r.contains(QPoint(9, h - 10)));
    QVERIFY(r.contains(QPoint(0, h - 27)));
    // Bottom right: nearly square, a 6-pixel step softened by a small ellipse.
    QVERIFY(!r.contains(QPoint(w - 1, h - 1)));
    QVERIFY(r.contains(QPoint(w - 1, h - 7)));
    QVERIFY(r.contains(QPoint(w - 7, h - 1)));
    QVERIFY(r.contains(QPoint(w - 3, h - 3)));
    QVERIFY(!r.contains(QPoint(w - 1, h)));
    QCOMPARE(r.boundingRect().bottom(), h - 1);
}

void FrameTest::regionRoundsHalvesToEven()
{
    // 690.5 pixels wide: the full-width rectangles end at 690 (even), not 691.
    const QRegion even = FramedWindow::frameRegion(690.5 * 15, 300 * 15);
    QVERIFY(even.contains(QPoint(689, 100)));
    QVERIFY(!even.contains(QPoint(690, 100)));
    // 691.5 rounds up to 692.
    const QRegion odd = FramedWindow::frameRegion(691.5 * 15, 300 * 15);
    QVERIFY(odd.contains(QPoint(691, 100)));
}

void FrameTest::tinyWindowStillGetsARegion()
{
    TestWindow w(FramedWindow::Skin::CloseOnly);
    w.show();
    w.resize(40, 30);
    const QRegion r = w.mask();
    QCOMPARE(r, FramedWindow::frameRegion(600, 450));
    QVERIFY(r.contains(QPoint(20, 15)));
    QVERIFY(r.contains(QPoint(0, 15))); // the left ellipse
    QVERIFY(!r.contains(QPoint(0, 0)));

    // What the window shows honours the region.
    QImage shown(w.size(), QImage::Format_ARGB32);
    shown.fill(Qt::transparent);
    w.render(&shown);
    QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(shown.pixel(20, 15)), 255);
}

void FrameTest::paintedSurface()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QImage s = w.surface();
    // The caption and its shadow in the title area.
    bool caption = false, shadow = false;
    for (int y = 8; y < 24; ++y)
        for (int x = 36; x < 160; ++x) {
            caption |= s.pixel(x, y) == qRgb(31, 96, 169);
            shadow |= s.pixel(x, y) == qRgb(151, 169, 193);
        }
    QVERIFY(caption);
    QVERIFY(shadow);
    // The icon's warm pot at the left of the title bar.
    bool warm = false;
    for (int y = 7; y < 23; ++y)
        for (int x = 16; x < 32; ++x)
            warm |= qRed(s.pixel(x, y)) > qBlue(s.pixel(x, y)) + 80;
    QVERIFY(warm);
    // Blue edges, the pale panel inside.
    const QRgb edge = s.pixel(0, s.height() / 2);
    QVERIFY(qBlue(edge) > qRed(edge) + 60);
    QCOMPARE(s.pixel(s.width() / 2, s.height() / 2), qRgb(250, 250, 250));
    // The three glyphs of the skin lie under the three buttons.
    const QImage skin = w.skinImage();
    for (ImageControl *b : {w.minimizeButton(), w.maximizeButton(), w.closeButton()}) {
        const QImage under = s.copy(b->x(), b->y(), 17, 16);
        const QImage glyph = skin.copy(b->x() - (w.width() - 111) + 39, b->y(), 17, 16).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(under == glyph, qPrintable(b->objectName()));
    }
    // Every repaint shows the surface unchanged.
    const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // (Rows 20 to 90 hold no content control; the resting caption buttons
    // and the strip are transparent.)
    QCOMPARE(shown.copy(0, 20, w.width(), 70), s.copy(0, 20, w.width(), 70));
    QCOMPARE(shown.copy(w.width() - 111, 0, 111, 29), s.copy(w.width() - 111, 0, 111, 29));
}

void FrameTest::skinRedNeverInsideRegion()
{
    for (FramedWindow::Skin skin : {FramedWindow::Skin::ThreeButton, FramedWindow::Skin::CloseOnly}) {
        TestWindow w(skin);
        w.show();
        const QList<QSize> sizes = {{379, 240}, {690, 528}, {150, 155}, {151, 156}, {233, 97},
                                    {440, 210}, {545, 368}, {80, 80}, {66, 40}, {30, 20}};
        for (const QSize &size : sizes) {
            w.resize(size);
            const QImage s = w.surface();
            const QRegion r = w.mask();
            int red = 0;
            for (int y = 0; y < s.height(); ++y)
                for (int x = 0; x < s.width(); ++x)
                    if (r.contains(QPoint(x, y)) && isSkinRed(s.pixel(x, y)))
                        ++red;
            QVERIFY2(red == 0, qPrintable(QStringLiteral("%1 red pixels at %2x%3").arg(red).arg(size.width()).arg(size.height())));
        }
    }
    // The skin pictures themselves: red all round outside the region their
    // own size gives, never inside it.
    for (FramedWindow::Skin skin : {FramedWindow::Skin::ThreeButton, FramedWindow::Skin::CloseOnly}) {
        TestWindow w(skin);
        const QImage art = w.skinImage();
        const QRegion r = FramedWindow::frameRegion(art.width() * 15, art.height() * 15);
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x)
                if (r.contains(QPoint(x, y)))
                    QVERIFY(!isSkinRed(art.pixel(x, y)));
        for (QPoint corner : {QPoint(0, 0), QPoint(149, 0), QPoint(0, 154)})
            QVERIFY(isSkinRed(art.pixel(corner)));
    }
}

void FrameTest::captionRepaintsWhenTitleChanges()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.show();
    const QImage before = w.surface().copy(30, 0, 200, 30);
    w.setWindowTitle(QStringLiteral("灶香居 2004 新春版 当前共有12道美食"));
    QVERIFY(w.surface().copy(30, 0, 200, 30) != before);
    w.setWindowTitle(QStringLiteral("：：菜谱分类：："));
    QCOMPARE(w.surface().copy(30, 0, 200, 30), before);

    // Changed while hidden: once shown, the surface has the caption and
    // size the window has then, exactly as a shown window paints them.
    const QString last = QStringLiteral("：：灶香居 2004 新春版：：当前共有32767道美食");
    TestWindow hidden(FramedWindow::Skin::ThreeButton);
    hidden.resize(420, 260);
    hidden.setWindowTitle(QStringLiteral("灶香居 2004 新春版 当前共有12道美食"));
    hidden.setWindowTitle(last);
    hidden.show();
    w.resize(420, 260);
    w.setWindowTitle(last);
    QCOMPARE(hidden.surface(), w.surface());
}

void FrameTest::captionButtonStateTable_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<QString>("hover");
    QTest::addColumn<QString>("pressed");
    QTest::newRow("Immin") << "Immin" << false << "min_hover" << "min_pressed";
    QTest::newRow("Imclose") << "Imclose" << false << "close_hover" << "close_pressed";
    QTest::newRow("Immax normal") << "Immax" << false << "max_hover" << "max_pressed";
    QTest::newRow("Immax maximised") << "Immax" << true << "restore_hover" << "restore_pressed";
}

void FrameTest::captionButtonStateTable()
{
    QFETCH(QString, button);
    QFETCH(bool, maximised);
    QFETCH(QString, hover);
    QFETCH(QString, pressed);
    TestWindow w(FramedWindow::Skin::ThreeButton);
    if (maximised)
        w.showMaximized();
    else
        w.show();
    QCOMPARE(w.isMaximized(), maximised);
    CaptionButton *b = w.findChild<CaptionButton *>(button);
    const QImage restingLook = surfaceAt(w, b);
    const QImage hoverLook = pictureOver(w, b, hover);
    const QImage pressedLook = pictureOver(w, b, pressed);
    const QPoint bare(w.width() / 2, w.height() / 2);
    auto look = [&] { return shownAt(b); };

    // Resting: the surface shows through; a move over the surface keeps it so.
    QCOMPARE(look(), restingLook);
    moveOver(&w, bare);
    QCOMPARE(look(), restingLook);
    // Resting -> hovered; a second move keeps it hovered.
    moveOver(b);
    QCOMPARE(look(), hoverLook);
    moveOver(b, QPoint(5, 5));
    QCOMPARE(look(), hoverLook);
    // Hovered -> pressed; moves keep it pressed; up -> resting.
    press(b);
    QCOMPARE(look(), pressedLook);
    moveOver(b, QPoint(4, 4), Qt::LeftButton);
    QCOMPARE(look(), pressedLook);
    release(b, Qt::LeftButton, QPoint(30, 30)); // released off the button: no click
    QCOMPARE(look(), restingLook);
    // Pressed without hovering first (any mouse button): the surface leaves
    // it pressed; the next move over the button shows the hover look.
    press(b, Qt::RightButton);
    QCOMPARE(look(), pressedLook);
    moveOver(&w, bare);
    QCOMPARE(look(), pressedLook);
    moveOver(b, QPoint(3, 3), Qt::RightButton);
    QCOMPARE(look(), hoverLook);
    release(b, Qt::RightButton);
    QCOMPARE(look(), restingLook);
    // Hovered, then a move over a content control: still hovered; then over
    // the bare surface: resting.
    moveOver(b);
    moveOver(w.label);
    QCOMPARE(look(), hoverLook);
    moveOver(&w, bare);
    QCOMPARE(look(), restingLook);
    // Hovered and pressed, then the surface: resting.
    moveOver(b);
    press(b);
    moveOver(&w, bare);
    QCOMPARE(look(), restingLook);
    release(b, Qt::LeftButton, QPoint(30, 30));
    QCOMPARE(w.isMaximized(), maximised);
    QVERIFY(w.isVisible());
}

void FrameTest::captionButtonLooksAndClick_data()
{
    // What the pointer does ('m' moves over the button, 'd' presses, 'u'
    // lets go over it, 'o' lets go off it, 's' moves on to the window's
    // surface), then the picture shown (0 resting, 1 hovered, 2 pressed) and
    // the clicks.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("clicks");
    QTest::newRow("resting") << "" << 0 << 0;
    QTest::newRow("hovered") << "mm" << 1 << 0;
    QTest::newRow("pressed") << "md" << 2 << 0;
    QTest::newRow("clicked") << "mdu" << 0 << 1;
    QTest::newRow("let go off it") << "mdo" << 0 << 0;
    QTest::newRow("surface after hover") << "ms" << 0 << 0;
    QTest::newRow("surface after press") << "ds" << 2 << 0;
}

void FrameTest::captionButtonLooksAndClick()
{
    QFETCH(QString, steps);
    QFETCH(int, shown);
    QFETCH(int, clicks);
    QWidget host;
    CaptionButton b(&host, QStringLiteral("Immin"), QStringLiteral("最小化"));
    b.resize(17, 16);
    const QColor colours[3] = {Qt::darkBlue, Qt::white, Qt::gray};
    QPixmap pictures[3];
    for (int i = 0; i < 3; ++i) {
        pictures[i] = QPixmap(b.size());
        pictures[i].fill(colours[i]);
    }
    b.setPictures({pictures[0], pictures[1], pictures[2]});
    QSignalSpy clicked(&b, &ImageControl::clicked);
    for (QChar step : steps) {
        switch (step.toLatin1()) {
        case 'm': moveOver(&b); break;
        case 'd': press(&b); break;
        case 'u': release(&b); break;
        case 'o': release(&b, Qt::LeftButton, QPoint(30, 30)); break;
        case 's': b.unmark(); break;
        }
    }
    QCOMPARE(b.grab().toImage().convertToFormat(QImage::Format_RGB32), pictures[shown].toImage().convertToFormat(QImage::Format_RGB32));
    QCOMPARE(clicked.count(), clicks);
}

void FrameTest::surfaceMoveResetsEveryMarkedButton()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.show();
    moveOver(w.minimizeButton());
    moveOver(w.titleStrip()); // the strip ends just short of the minimise button
    moveOver(w.closeButton());
    QVERIFY(shownAt(w.minimizeButton()) != surfaceAt(w, w.minimizeButton()));
    QVERIFY(shownAt(w.closeButton()) != surfaceAt(w, w.closeButton()));
    moveOver(&w, QPoint(w.width() / 2, 40));
    QCOMPARE(shownAt(w.minimizeButton()), surfaceAt(w, w.minimizeButton()));
    QCOMPARE(shownAt(w.closeButton()), surfaceAt(w, w.closeButton()));
}

void FrameTest::closeOnlyWindowHasInertMinMax()
{
    auto *w = new TestWindow(FramedWindow::Skin::CloseOnly, QStringLiteral("：：关于软件：："));
    QPointer<TestWindow> guard(w);
    w->show();
    const QSize size = w->size();
    for (CaptionButton *b : {w->minimizeButton(), w->maximizeButton()}) {
        const QImage resting = surfaceAt(*w, b);
        moveOver(b);
        QCOMPARE(shownAt(b), resting);
        press(b);
        QCOMPARE(shownAt(b), resting);
        release(b);
        QCOMPARE(shownAt(b), resting);
    }
    QVERIFY(!w->isMinimized());
    QVERIFY(!w->isMaximized());
    QCOMPARE(w->size(), size);
    QCOMPARE(w->closes, 0);
    // The close button still has its looks and closes the window.
    moveOver(w->closeButton());
    QCOMPARE(shownAt(w->closeButton()), pictureOver(*w, w->closeButton(), QStringLiteral("close_hover")));
    press(w->closeButton());
    QCOMPARE(shownAt(w->closeButton()), pictureOver(*w, w->closeButton(), QStringLiteral("close_pressed")));
    release(w->closeButton());
    QCOMPARE(w->closes, 1);
    QVERIFY(Windows::isUnloaded(w));
    QVERIFY(!w->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());
}

void FrameTest::closeButtonClosesThroughCloseFromFrame()
{
    auto *w = new TestWindow(FramedWindow::Skin::ThreeButton);
    w->show();
    // A press released off the button does not close.
    press(w->closeButton());
    release(w->closeButton(), Qt::LeftButton, QPoint(40, 40));
    QCOMPARE(w->closes, 0);
    // A click closes, after the button took its resting look.
    moveOver(w->closeButton());
    press(w->closeButton());
    release(w->closeButton());
    QCOMPARE(w->closes, 1);
    QVERIFY(!w->lookAtClose);
    QVERIFY(Windows::isUnloaded(w));
    // A close from outside (the window manager) goes the same way.
    auto *other = new TestWindow(FramedWindow::Skin::CloseOnly);
    other->show();
    other->close();
    QCOMPARE(other->closes, 1);
    QVERIFY(Windows::isUnloaded(other));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void FrameTest::minimiseAndMaximise()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.show();
    const QSize normal = w.size();
    // Maximise: the frame is laid out, painted and cut at the new size; the
    // content keeps its place; the button's looks switch to restore.
    press(w.maximizeButton());
    release(w.maximizeButton());
    QVERIFY(w.isMaximized());
    QTRY_VERIFY(w.size() != normal);
    QCOMPARE(w.closeButton()->leftTw(), w.width() * 15.0 - 465);
    QCOMPARE(w.surface().size(), w.size());
    QCOMPARE(w.mask(), FramedWindow::frameRegion(w.width() * 15, w.height() * 15));
    QCOMPARE(w.label->geometry(), QRect(100, 100, 80, 20));
    moveOver(w.maximizeButton());
    QCOMPARE(shownAt(w.maximizeButton()), pictureOver(w, w.maximizeButton(), QStringLiteral("restore_hover")));
    // Restore.
    press(w.maximizeButton());
    QCOMPARE(shownAt(w.maximizeButton()), pictureOver(w, w.maximizeButton(), QStringLiteral("restore_pressed")));
    release(w.maximizeButton());
    QVERIFY(!w.isMaximized());
    QTRY_COMPARE(w.size(), normal);
    QCOMPARE(w.closeButton()->leftTw(), normal.width() * 15.0 - 465);
    moveOver(w.maximizeButton());
    QCOMPARE(shownAt(w.maximizeButton()), pictureOver(w, w.maximizeButton(), QStringLiteral("max_hover")));
    // Minimise.
    press(w.minimizeButton());
    release(w.minimizeButton());
    QVERIFY(w.isMinimized());
    QCOMPARE(shownAt(w.minimizeButton()), surfaceAt(w, w.minimizeButton()));
    w.showNormal();
    QVERIFY(!w.isMinimized());
    QCOMPARE(w.surface().size(), normal);
    QCOMPARE(w.closes, 0);
}

void FrameTest::dragByTitleStrip()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.move(100, 80);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint start = w.pos();
    const QPoint grab = w.titleStrip()->mapToGlobal(QPoint(60, 8));

    // Right and middle buttons do not move the window.
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        send(w.titleStrip(), QEvent::MouseButtonPress, grab, button, button);
        send(w.titleStrip(), QEvent::MouseMove, grab + QPoint(40, 30), Qt::NoButton, button);
        send(w.titleStrip(), QEvent::MouseButtonRelease, grab + QPoint(40, 30), button, Qt::NoButton);
        QCOMPARE(w.pos(), start);
    }
    // The left button drags it along, until released.
    send(w.titleStrip(), QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    send(w.titleStrip(), QEvent::MouseMove, grab + QPoint(10, 5), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(w.pos(), start + QPoint(10, 5));
    send(w.titleStrip(), QEvent::MouseMove, grab + QPoint(-30, 45), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(w.pos(), start + QPoint(-30, 45));
    send(w.titleStrip(), QEvent::MouseButtonRelease, grab + QPoint(-30, 45), Qt::LeftButton, Qt::NoButton);
    send(w.titleStrip(), QEvent::MouseMove, grab + QPoint(80, 80), Qt::NoButton, Qt::NoButton);
    QCOMPARE(w.pos(), start + QPoint(-30, 45));
    // Only the strip drags: the painted title area below it does not.
    send(&w, QEvent::MouseButtonPress, w.mapToGlobal(QPoint(100, 22)), Qt::LeftButton, Qt::LeftButton);
    send(&w, QEvent::MouseMove, w.mapToGlobal(QPoint(140, 60)), Qt::NoButton, Qt::LeftButton);
    send(&w, QEvent::MouseButtonRelease, w.mapToGlobal(QPoint(140, 60)), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(w.pos(), start + QPoint(-30, 45));
}

void FrameTest::gripsResize()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    w.show();
    const QSize start = w.size();
    auto drag = [&](ImageControl *grip, QPoint by) {
        const QPoint from = grip->mapToGlobal(QPoint(4, 4));
        send(grip, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(grip, QEvent::MouseMove, from + by, Qt::NoButton, Qt::LeftButton);
        send(grip, QEvent::MouseButtonRelease, from + by, Qt::LeftButton, Qt::NoButton);
    };
    drag(w.cornerGrip(), QPoint(40, 30));
    QCOMPARE(w.size(), start + QSize(40, 30));
    // The frame follows: corner grip and close button at the new edges.
    QCOMPARE(w.cornerGrip()->geometry().bottomRight(), QPoint(w.width() - 1, w.height() - 1));
    QCOMPARE(w.closeButton()->x(), w.width() - 31);
    QCOMPARE(w.surface().size(), w.size());
    drag(w.bottomGrip(), QPoint(70, -20));
    QCOMPARE(w.size(), start + QSize(40, 10));
    drag(w.rightGrip(), QPoint(-50, 90));
    // Never narrower than the design: the controls keep their design places.
    QCOMPARE(w.size(), start + QSize(0, 10));
    // Never below the design size.
    QCOMPARE(w.gripMinimumSize(), Twips::size(5685, 3600));
    drag(w.cornerGrip(), QPoint(-2000, -2000));
    QCOMPARE(w.size(), w.gripMinimumSize());
    // The content keeps its design place.
    QCOMPARE(w.label->geometry(), QRect(100, 100, 80, 20));
    // A right-button press on a grip resizes nothing.
    const QSize now = w.size();
    const QPoint from = w.cornerGrip()->mapToGlobal(QPoint(4, 4));
    send(w.cornerGrip(), QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
    send(w.cornerGrip(), QEvent::MouseMove, from + QPoint(50, 50), Qt::NoButton, Qt::RightButton);
    send(w.cornerGrip(), QEvent::MouseButtonRelease, from + QPoint(50, 50), Qt::RightButton, Qt::NoButton);
    QCOMPARE(w.size(), now);
}

void FrameTest::keyboardPressesPictureButtons()
{
    TestWindow w(FramedWindow::Skin::ThreeButton);
    auto *edit = new QLineEdit(&w);
    FramedWindow::place(edit, 600, 2400, 1500, 330);
    ImageControl *b = makePictureButton(&w, QStringLiteral("addcp"), QStringLiteral("添加"),
                                        QStringLiteral(":/buttons/add.png"), 2400, 2400, 1410, 480);
    QSignalSpy downs(b, &ImageControl::mouseDown);
    QSignalSpy ups(b, &ImageControl::mouseUp);
    QSignalSpy clicks(b, &ImageControl::clicked);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // The window's first focus stays with its text box.
    QCOMPARE(QApplication::focusWidget(), edit);
    const QImage resting = b->grab().toImage();

    // The mouse presses it without giving it the focus: it looks as before.
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!b->hasFocus());
    QCOMPARE(b->grab().toImage(), resting);

    // Tab brings the focus and the mark.
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(b->hasFocus());
    QVERIFY(b->showsFocusMark());
    QVERIFY(b->grab().toImage() != resting);
    // Space: down while held, pressed when let go, as a click.
    QTest::keyPress(b, Qt::Key_Space);
    QCOMPARE(downs.count(), 2);
    QCOMPARE(ups.count(), 1);
    QCOMPARE(clicks.count(), 1);
    QTest::keyRelease(b, Qt::Key_Space);
    QCOMPARE(ups.count(), 2);
    QCOMPARE(clicks.count(), 2);
    // Enter, on either key.
    QTest::keyClick(b, Qt::Key_Return);
    QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(downs.count(), 4);
    QCOMPARE(ups.count(), 4);
    QCOMPARE(clicks.count(), 4);
    // Shift+Tab goes back; the mark goes with the focus.
    QTest::keyClick(b, Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(edit->hasFocus());
    QCOMPARE(b->grab().toImage(), resting);
}

void FrameTest::escapeClosesAsTheCloseButtonDoes()
{
    auto *w = new TestWindow(FramedWindow::Skin::CloseOnly);
    auto *edit = new QLineEdit(w);
    FramedWindow::place(edit, 600, 2400, 1500, 330);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QVERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(w->closes, 1);
    QVERIFY(Windows::isUnloaded(w));

    StayingWindow main;
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_Escape);
    QCOMPARE(main.closes, 0);
    QVERIFY(main.isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// On a screen of twice the pixel density the region is the same shape in the
// window's coordinates (each of its pixels two by two on the screen), and the
// frame is painted from the skin drawn for that density.
void FrameTest::regionAndSkinAtDoubleDensity()
{
    if (qApp->devicePixelRatio() < 2) {
        // Qt takes the density at start-up: the check runs in a second copy
        // of this program started at twice the density.
        QProcess copy;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        copy.setProcessEnvironment(env);
        copy.setProcessChannelMode(QProcess::MergedChannels);
        copy.start(QCoreApplication::applicationFilePath(), {QStringLiteral("regionAndSkinAtDoubleDensity")});
        QVERIFY(copy.waitForFinished(60000));
        const QByteArray out = copy.readAll();
        QVERIFY2(copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0, out.constData());
        QVERIFY2(out.contains("PASS   : FrameTest::regionAndSkinAtDoubleDensity()"), out.constData());
        return;
    }
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    for (FramedWindow::Skin skin : {FramedWindow::Skin::ThreeButton, FramedWindow::Skin::CloseOnly}) {
        TestWindow w(skin);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(379, 240);
        const QRegion region = FramedWindow::frameRegion(379 * 15, 240 * 15);
        QCOMPARE(w.mask(), region);
        const QImage s = w.surface();
        QCOMPARE(s.devicePixelRatio(), 2.0);
        QCOMPARE(s.size(), QSize(758, 480));

        // What the window shows: exactly the region's pixels, two by two.
        QImage shown(758, 480, QImage::Format_ARGB32);
        shown.setDevicePixelRatio(2);
        shown.fill(Qt::transparent);
        w.render(&shown);
        int wrong = 0, red = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const bool inside = region.contains(QPoint(x / 2, y / 2));
                wrong += inside != (qAlpha(shown.pixel(x, y)) == 255);
                red += inside && isSkinRed(s.pixel(x, y));
            }
        QCOMPARE(wrong, 0);
        QCOMPARE(red, 0);

        // The bottom-left corner piece, copied at its size: wherever it is
        // not see-through, the skin drawn for this density pixel for pixel,
        // not an enlarged copy of the ordinary one.
        const QImage art = QImage(skin == FramedWindow::Skin::ThreeButton ? QStringLiteral(":/skin/three@2x.png")
                                                                          : QStringLiteral(":/skin/closeonly@2x.png"))
                               .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(art.size(), QSize(300, 310));
        QImage painted = s.copy(0, 480 - 80, 60, 80);
        painted.setDevicePixelRatio(1);
        int same = 0, differ = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 60; ++x) {
                const QRgb a = art.pixel(x, 310 - 80 + y);
                if (!isSkinRed(a))
                    ++(painted.pixel(x, y) == a ? same : differ);
            }
        QCOMPARE(differ, 0);
        QVERIFY(same > 60 * 80 / 2);
        QVERIFY(painted != w.skinImage().copy(0, 155 - 40, 30, 40).scaled(60, 80).convertToFormat(QImage::Format_RGB32));
    }
}

void FrameTest::dishPictureKeepsItsProportions_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("wide photo") << QSize(1600, 900) << 1.0;
    QTest::newRow("tall phone photo") << QSize(1080, 1920) << 1.0;
    QTest::newRow("square photo of a round plate") << QSize(600, 600) << 1.0;
    QTest::newRow("strip of 10,000 x 100") << QSize(10000, 100) << 1.0;
    QTest::newRow("smaller than the frame") << QSize(40, 30) << 1.0;
    QTest::newRow("tall photo, twice the density") << QSize(1080, 1920) << 2.0;
}

// Drawn by the real control in the main window's frame: as large as fits,
// centred, in the picture's own proportions.
void FrameTest::dishPictureKeepsItsProportions()
{
    QFETCH(QSize, picture);
    QFETCH(qreal, ratio);
    ImageControl control;
    control.setFit(true);
    control.setGeometry(Twips::rect(480, 5640, 2895, 1695));
    QImage photo(picture, QImage::Format_RGB32);
    photo.fill(Qt::darkRed);
    control.setPicture(QPixmap::fromImage(photo));
    QImage shown(control.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    shown.setDevicePixelRatio(ratio);
    shown.fill(Qt::transparent);
    control.render(&shown);

    QRect drawn;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (qAlpha(shown.pixel(x, y)) > 0)
                drawn |= QRect(x, y, 1, 1);
    const QSize frame = shown.size();
    const QString where = QStringLiteral("%1,%2 %3x%4 in %5x%6").arg(drawn.x()).arg(drawn.y()).arg(drawn.width())
                              .arg(drawn.height()).arg(frame.width()).arg(frame.height());
    // Touching two opposite sides of the frame, never cut.
    QVERIFY2(drawn.width() >= frame.width() - 1 || drawn.height() >= frame.height() - 1, qPrintable(where));
    QVERIFY2(QRect(QPoint(0, 0), frame).contains(drawn), qPrintable(where));
    // Its width to its height as the picture's, to a pixel either way.
    const double widthForHeight = double(drawn.height()) * picture.width() / picture.height();
    const double heightForWidth = double(drawn.width()) * picture.height() / picture.width();
    QVERIFY2(qAbs(drawn.width() - widthForHeight) <= 1.5 || qAbs(drawn.height() - heightForWidth) <= 1.5,
             qPrintable(where));
    // Centred.
    QVERIFY2(qAbs(drawn.left() - (frame.width() - 1 - drawn.right())) <= 1, qPrintable(where));
    QVERIFY2(qAbs(drawn.top() - (frame.height() - 1 - drawn.bottom())) <= 1, qPrintable(where));
}

QTEST_MAIN(FrameTest)
#include "tst_frame.moc"
