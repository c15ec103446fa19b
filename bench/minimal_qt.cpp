// The least a Qt Widgets program does to show one window: the yardstick for
// the desktop program's start-up. Like `treva --benchmark-startup` it ends at
// the window's first paint.
#include <QApplication>
#include <QEvent>
#include <QLabel>

namespace {

struct QuitOnFirstPaint : QObject {
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) QCoreApplication::exit(0);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("TREVA start-up yardstick"));
    QuitOnFirstPaint quit;
    window.installEventFilter(&quit);
    window.show();
    return QApplication::exec();
}
