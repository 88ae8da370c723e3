// The floor of a cold start on this machine: the least Qt Widgets program
// that shows one line of Chinese text in a window and nothing else. The
// bench starts it and the real program in turn and reports the ratio.
// Built a second time as zx_floor_filled, which reads the fonts and draws
// its text once before it shows its window, as a window filled when it is
// put on the screen must: what that alone costs the floor.
#include <QApplication>
#include <QImage>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("灶香居 2004 新春版 当前共有0道美食"));
    // The same title the bench waits for in the real program.
    label.setWindowTitle(QStringLiteral("floor 当前共有0道美食"));
    label.resize(320, 40);
#ifdef ZX_FLOOR_FILLED
    QImage drawn(label.size(), QImage::Format_RGB32);
    label.render(&drawn);
#endif
    label.show();
    return app.exec();
}
