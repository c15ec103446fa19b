#include "ui/roll_history_window.h"

#include "resources/ids/roll_history.h"
#include "state/text.h"
#include "ui/frame.h"

namespace treva {
namespace {

using namespace roll_history_ids;

// Row i of the window: the i-th newest roll.
const RollEntry &entryOfRow(const RollHistory &history, int row) {
    return history.entries[history.entries.size() - 1 - std::size_t(row)];
}

void fill(App &app, WindowId self) {
    const RollHistory &history = app.state.history;
    const int count = int(history.entries.size());
    app.ui.setRows(self, kRows, count, [&history](int row) {
        return row >= 0 && row < int(history.entries.size()) ? historyRow(entryOfRow(history, row)) : std::string();
    });
    app.ui.setText(self, kCount, count == 1 ? std::string("1 roll") : std::to_string(count) + " rolls");
    app.follow.historyShown = history.version;
}

void init(App &app, WindowId self) { fill(app, self); }

void command(App &app, WindowId self, int id) {
    switch (id) {
    case kCopy: {
        const std::vector<int> rows = app.ui.selectedRows(self, kRows);
        if (!rows.empty()) app.ui.copyText(rollHistoryText(app.state.history, rows));
        break;
    }
    case kCopyAll:
        if (!app.state.history.entries.empty()) app.ui.copyText(rollHistoryText(app.state.history));
        break;
    case kClear:
        app.state.history.clear();
        fill(app, self);
        break;
    default: break;
    }
}

} // namespace

std::string rollHistoryText(const RollHistory &history, const std::vector<int> &rows) {
    std::string text;
    for (const int row : rows) {
        if (row < 0 || row >= int(history.entries.size())) continue;
        text += cp1252ToUtf8(historyRow(entryOfRow(history, row)));
        text += '\n';
    }
    return text;
}

std::string rollHistoryText(const RollHistory &history) {
    std::vector<int> rows(history.entries.size());
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = int(i);
    return rollHistoryText(history, rows);
}

void followRollHistory(App &app) {
    const WindowId window = toolWindow(app, ToolSlot::RollHistory);
    if (window != kNoWindow && app.ui.isOpen(window) && app.follow.historyShown != app.state.history.version)
        fill(app, window);
}

bool rollHistoryWindowProc(App &app, WindowId self, const Message &m) {
    return toolWindowProc(app, self, m, ToolSlot::RollHistory, init, command);
}

} // namespace treva
