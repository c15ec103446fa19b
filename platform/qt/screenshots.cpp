#include "platform/qt/screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QPixmap>
#include <cstdio>

#include "platform/qt/qt_window_layer.h"
#include "ui/screenshot_scenes.h"

namespace treva {
namespace {

class QtCamera : public Camera {
public:
    QtCamera(QtWindowLayer &layer, const QString &folder) : layer_(layer), folder_(folder) {}

    bool photograph(WindowId window, const char *name) override {
        QCoreApplication::processEvents();
        const QString path = folder_.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        QWidget *widget = layer_.widget(window);
        if (widget && widget->grab().save(path)) return true;
        std::fprintf(stderr, "treva: could not write %s\n", qPrintable(path));
        return false;
    }

    void click(WindowId window, int control) override {
        if (auto *button = qobject_cast<QAbstractButton *>(layer_.controlWidget(window, control))) button->click();
    }

    void answerBoxes(std::function<void(WindowId box)> answer) override { layer_.onModal = std::move(answer); }

private:
    QtWindowLayer &layer_;
    QDir folder_;
};

} // namespace

int takeScreenshots(QtWindowLayer &layer, App &app, const QString &folder) {
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "treva: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    QtCamera camera(layer, folder);
    layer.frameWidget()->show();
    return playScreenshotScenes(app, camera) ? 0 : 1;
}

} // namespace treva
