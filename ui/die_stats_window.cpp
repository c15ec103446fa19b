#include "ui/die_stats_window.h"

#include <cstdio>

#include "resources/ids/die_stats.h"
#include "ui/frame.h"

namespace treva {
namespace {

using namespace die_stats_ids;

std::string countText(int32_t count) { return count == 0 ? std::string() : std::to_string(count); }

std::string averageText(const char *format, int32_t sum, int32_t rolls) {
    if (rolls == 0) return "0";
    char text[64];
    std::snprintf(text, sizeof text, format, double(sum) / double(rolls));
    return text;
}

void fill(App &app, WindowId self) {
    const DieRollStats &st = app.state.scenario.stats;
    for (int r = 2; r <= 12; ++r) app.ui.setText(self, twoDiceCount(r), countText(st.twoDiceCounts[r - 2]));
    for (int r = 1; r <= 6; ++r) app.ui.setText(self, oneDieCount(r), countText(st.oneDieCounts[r - 1]));
    app.ui.setText(self, kTwoDiceTotal, std::to_string(st.twoDiceRolls));
    app.ui.setText(self, kOneDieTotal, std::to_string(st.oneDieRolls));
    app.ui.setText(self, kTwoDiceAverage, averageText("%2.3f", st.twoDiceSum, st.twoDiceRolls));
    app.ui.setText(self, kOneDieAverage, averageText("%1.3f", st.oneDieSum, st.oneDieRolls));
}

} // namespace

void followDieStats(App &app) {
    const WindowId window = app.frame.toolWindows[static_cast<int>(ToolSlot::DieStats)];
    if (window != kNoWindow && app.ui.isOpen(window)) fill(app, window);
}

bool dieStatsWindowProc(App &app, WindowId self, const Message &m) {
    if (m.kind == MessageKind::Init) {
        fill(app, self);
        return true;
    }
    if (m.kind != MessageKind::Command) return false; // activation is not remembered here
    switch (m.id) {
    case kCommandOk:
    case kCommandCancel: closeToolWindow(app, self, ToolSlot::DieStats, false); return true;
    case kClear:
        clearDieStats(app.state);
        fill(app, self);
        return false;
    case kChart: openToolWindow(app, ToolSlot::DiceChart); return true;
    default: return false;
    }
}

} // namespace treva
