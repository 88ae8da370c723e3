// The floor of a cold start on this machine: the least Qt Widgets program
// that shows one line of Chinese text in a window and nothing else. The
// bench starts it and the real program in turn and reports the ratio.
#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("灶香居 2004 新春版 当前共有0道美食"));
    // The same title the bench waits for in the real program.
    label.setWindowTitle(QStringLiteral("floor 当前共有0道美食"));
    label.resize(320, 40);
    label.show();
    return app.exec();
}
