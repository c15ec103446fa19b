#include "ui/dice_chart_window.h"

#include <cstring>

#include "dice/fairness.h"
#include "resources/ids/dice_chart.h"
#include "ui/frame.h"

namespace treva {
namespace {

using namespace dice_chart_ids;

std::vector<ChartBar> bars(const int32_t *counts, const FairnessCheck &check, int firstFace) {
    std::vector<ChartBar> shown;
    for (std::size_t i = 0; i < check.expected.size(); ++i)
        shown.push_back({std::to_string(firstFace + int(i)), counts[i], check.expected[i]});
    return shown;
}

void fill(App &app, WindowId self) {
    const DieRollStats &stats = app.state.scenario.stats;
    const FairnessCheck twoDice = twoDiceFairness(stats);
    const FairnessCheck oneDie = oneDieFairness(stats);
    app.ui.setChart(self, kTwoDiceChart, bars(stats.twoDiceCounts, twoDice, 2));
    app.ui.setText(self, kTwoDiceFairness, twoDice.text);
    app.ui.setChart(self, kOneDieChart, bars(stats.oneDieCounts, oneDie, 1));
    app.ui.setText(self, kOneDieFairness, oneDie.text);
    app.follow.statsShown = stats;
}

void init(App &app, WindowId self) { fill(app, self); }
void command(App &, WindowId, int) {}

} // namespace

void followDiceChart(App &app) {
    const WindowId window = toolWindow(app, ToolSlot::DiceChart);
    if (window == kNoWindow || !app.ui.isOpen(window)) return;
    if (std::memcmp(&app.follow.statsShown, &app.state.scenario.stats, sizeof(DieRollStats)) != 0) fill(app, window);
}

bool diceChartWindowProc(App &app, WindowId self, const Message &m) {
    return toolWindowProc(app, self, m, ToolSlot::DiceChart, init, command);
}

} // namespace treva
