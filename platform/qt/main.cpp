// The desktop program: the frame and its windows on Qt.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/guide/guide_location.h"
#include "platform/qt/file_type_freedesktop.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_drive.h"
#include "platform/qt/qt_settings.h"
#include "platform/qt/qt_window_layer.h"
#include "platform/qt/screenshots.h"
#include "resources/dialogs.h"
#include "resources/menu.h"
#include "ui/app.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"
#ifdef _WIN32
#include "platform/win32/file_type_registry.h"
#endif

namespace {

bool isSet(const char *name) {
    const char *value = std::getenv(name);
    return value && *value;
}

// Ends the program once a window has painted itself for the first time.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) QCoreApplication::exit(0);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char **argv) {
    const char *screenshotFolder = nullptr;
    bool benchmarkStartup = false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "--help") == 0) {
            std::printf("Usage: treva [SCENARIO.trv]\n"
                        "       treva --screenshots DIR   write a picture of every window into DIR\n"
                        "       treva --benchmark-startup open the Activation window, then quit\n"
                        "       treva --drive [--scenario FILE] [--seed N] TEMPLATE TOKEN...\n"
                        "                                 treva-cli's drive on the real windows,\n"
                        "                                 offscreen (see treva-cli --help)\n"
                        "       treva --drive-batch       drives read from standard input, one after\n"
                        "                                 another (the tests' way)\n");
            return 0;
        }
        if (std::strcmp(arg, "--drive") == 0 || std::strcmp(arg, "--drive-batch") == 0) {
            // Offscreen, as treva-cli's windows are: nothing shows.
            if (!isSet("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
            if (std::strcmp(arg, "--drive-batch") == 0) return treva::runDesktopDriveBatch(argv[0]);
            return treva::runDesktopDrive(argv[0], {argv + i + 1, argv + argc});
        }
        if (std::strcmp(arg, "--screenshots") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "treva: --screenshots needs a folder\n");
                return 2;
            }
            screenshotFolder = argv[++i];
        } else if (std::strcmp(arg, "--benchmark-startup") == 0) {
            benchmarkStartup = true;
        } else if (std::strncmp(arg, "--", 2) == 0) {
            std::fprintf(stderr, "treva: unknown option %s (see treva --help)\n", arg);
            return 2;
        }
    }
    // Screenshots need no screen of their own.
    if (screenshotFolder && !isSet("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
#if defined(__linux__)
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "treva: no display to show windows on; use treva-cli instead.\n");
        return 1;
    }
#endif

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TREVA"));
    QApplication::setWindowIcon(treva::loadIcon(treva::kAppIcon));
    // The frame's menu in the tool windows' own font: one font to load, not two.
    QApplication::setFont(treva::dialogFont(*treva::findDialogTemplate(treva::kActivationDialog)));

    treva::QtWindowLayer layer;
    treva::App app(layer);
    app.builtWith = "with Qt";
    layer.onCommand = [&app](int command) { treva::frameCommand(app, command); };

    if (screenshotFolder) return treva::takeScreenshots(layer, app, QString::fromLocal8Bit(screenshotFolder));

    // Where the player keeps the tool windows; the drive, the pictures and the
    // benchmark leave the player's settings alone.
    treva::QtSettingsStore settings;
    if (!benchmarkStartup) layer.keepPlacesIn(&settings);
    layer.frameWidget()->show();
    if (benchmarkStartup) {
        treva::resetScenario(app.state);
        const treva::WindowId activation = treva::openToolWindow(app, treva::ToolSlot::Activation);
        FirstPaint firstPaint;
        if (QWidget *window = layer.widget(activation)) window->installEventFilter(&firstPaint);
        return QApplication::exec();
    }

    // Scenario files open TREVA from the desktop; the outcome changes nothing here.
#if defined(_WIN32)
    app.registerFileType = [] { treva::registerScenarioFileType(); };
#elif defined(__linux__)
    app.registerFileType = [] { treva::registerScenarioFileTypeFreedesktop(); };
#endif
    app.guidePlaces = treva::guidePlaces(treva::filePath(QCoreApplication::applicationFilePath().toStdString()));
    // Qt has taken its own options out of argv by now.
    treva::startUp(app, treva::commandLinePath(argc, argv));
    // The desktop session ends (log-off, shut-down): nothing is saved without
    // asking; where the session lets the program ask, it asks as Exit does, and
    // Cancel or a failed save asks the session to go on.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, [&app](QSessionManager &session) {
        if (!treva::hasUnsavedChanges(app) || !session.allowsInteraction()) return;
        const bool goOn = treva::settleUnsavedChanges(app);
        session.release();
        if (!goOn) session.cancel();
    });
    if (!layer.isOpen(layer.frame())) return 0;
    return QApplication::exec();
}
