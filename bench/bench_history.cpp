// A roll history of 100,000 rolls: how long it takes to save beside its
// scenario, to open again, to show in the Roll History window (in memory,
// and with TREVA_BENCH_QT in the real Qt window, offscreen), to follow one
// more roll with the window open, and to copy as text. Prints median times.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ui/app.h"
#include "ui/frame.h"
#include "ui/roll_history_window.h"
#include "ui/scenario_files.h"

#ifdef TREVA_BENCH_QT
#include <QApplication>
#include <QWidget>

#include "platform/qt/qt_window_layer.h"
#else
#include "platform/headless/headless_layer.h"
#endif

namespace {

using namespace treva;

constexpr int kRolls = 100000;

// Where the copy's length goes, so that the compiler keeps the copy.
volatile std::size_t copied = 0;

double medianMs(int runs, const std::function<void()> &setUp, const std::function<void()> &run) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        setUp();
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void fillHistory(App &app) {
    resetScenario(app.state, 1);
    const char *const purposes[] = {"A1 DR", "x6 DR", "Activation dr", "INF Action DR"};
    for (int i = 0; i < kRolls; ++i) {
        if (i % 4 == 3)
            rollTwoSingleDice(app.state, purposes[3]);
        else
            rollDice(app.state, i % 4 == 2 ? 1 : 2, 6, purposes[i % 4]);
    }
}

void report(const char *what, double ms) { std::printf("%-52s %10.2f ms\n", what, ms); }

int measure(WindowLayer &layer, const char *layerName, const std::function<void(WindowId)> &showNow) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "treva-bench-history";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "long.trv").string();
    App app(layer);
    fillHistory(app);
    char label[96];
    std::snprintf(label, sizeof label, "history of %d rolls: file size", kRolls);
    constexpr int kRuns = 9;
    // Written whole (a new file), then again after one more roll (added at
    // the end of the file).
    report("save scenario and history, a new file", medianMs(
                                                        kRuns,
                                                        [&] {
                                                            std::filesystem::remove(historyPathFor(file));
                                                            app.frame.historyFile = {};
                                                        },
                                                        [&] { saveScenarioFile(app, file); }));
    report("save again after one more roll",
           medianMs(
               kRuns, [&] { rollDice(app.state, 2, 6, "A1 DR"); }, [&] { saveScenarioFile(app, file); }));
    std::printf("%-52s %10.1f MB\n", label, double(std::filesystem::file_size(historyPathFor(file))) / 1e6);
    App opened(layer);
    report("open scenario and history",
           medianMs(
               kRuns, [&] { opened.state.history.clear(); }, [&] { loadScenarioFile(opened, file); }));
    WindowId window = kNoWindow;
    std::snprintf(label, sizeof label, "open the Roll History window (%s)", layerName);
    report(label, medianMs(
                      kRuns,
                      [&] {
                          if (window != kNoWindow) closeToolWindow(opened, window, ToolSlot::RollHistory, false);
                      },
                      [&] {
                          window = openToolWindow(opened, ToolSlot::RollHistory);
                          showNow(window);
                      }));
    std::snprintf(label, sizeof label, "one more roll, the window following (%s)", layerName);
    report(label, medianMs(
                      kRuns, [] {},
                      [&] {
                          rollDice(opened.state, 2, 6, "A1 DR");
                          afterWindowMessage(opened);
                          showNow(window);
                      }));
    report("copy all rows as text", medianMs(
                                        kRuns, [] {}, [&] { copied = rollHistoryText(opened.state.history).size(); }));
    std::filesystem::remove_all(folder);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
#ifdef TREVA_BENCH_QT
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QtWindowLayer layer;
    return measure(layer, "Qt, painted", [&layer](WindowId window) {
        if (QWidget *w = layer.widget(window)) w->repaint();
        QApplication::processEvents();
    });
#else
    (void)argc;
    (void)argv;
    HeadlessLayer layer;
    return measure(layer, "in memory", [](WindowId) {});
#endif
}
