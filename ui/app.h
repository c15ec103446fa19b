// The running program as the window procedures see it: the scenario and its
// dice, what the windows themselves keep, and the window layer it shows
// itself through.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "state/scenario.h"
#include "ui/window_layer.h"

namespace treva {

// The tool windows the frame keeps at most one of each.
enum class ToolSlot { Activation, Setup, Actions, DieStats, Advance, RandomTables, RollHistory, DiceChart, Count };

// The frame: its open tool windows, the window to go back to after closing
// one, the scenario file in use, and what was last opened or saved.
struct FrameState {
    WindowId toolWindows[static_cast<int>(ToolSlot::Count)] = {};
    WindowId returnWindow = kNoWindow;
    std::string currentFilePath;
    std::string shownName;            // the scenario's name in the caption; "" untitled
    ScenarioBytes savedRecord{};      // the record as last opened or saved, changed flag cleared
    uint64_t savedHistoryVersion = 0; // the roll history's version as last opened or saved
    bool historyUnreadable = false;   // the open scenario's history file could not be read
    // The history file as last opened or saved: while it still holds just
    // the first `rows` rows of this generation of the history, a save adds
    // the rest at its end instead of writing it all again.
    struct {
        std::string path;
        std::size_t rows = 0;
        uint64_t generation = 0;
        uint64_t bytes = 0;
    } historyFile;
    bool saveAllowed = false; // Save by the file rules; unsaved changes enable it too
};

// The Advance window: which of its buttons was pressed last, and whether its
// picture shows a direction (0) or the key (-1).
struct AdvanceState {
    int32_t lastCommand = -1;
    int32_t pictureState = -1;
};

// What the Roll History and Dice Chart windows last showed, so that they
// follow the rolls without redrawing after every message.
struct FollowState {
    uint64_t historyShown = 0; // the history's version
    DieRollStats statsShown{};
};

struct App {
    explicit App(WindowLayer &layer) : ui(layer) {}

    ProgramState state;
    FrameState frame;
    AdvanceState advance;
    FollowState follow;
    WindowLayer &ui;
    // Associates scenario files with the program at start-up, where the
    // desktop can (set by the desktop program; tests leave it empty).
    std::function<void()> registerFileType;
    // Where the player's guide may be, best first (UTF-8 paths, set by each
    // program from its own path); Help > TREVA Guide opens the first there.
    std::vector<std::string> guidePlaces;
    // How this program was made, as the notice says it ("with Qt"); each
    // program names its own toolkit. Empty: the notice names none.
    std::string builtWith;
};

// A window procedure of the program.
using AppWindowProc = bool (*)(App &app, WindowId self, const Message &message);

// After every message a window has handled: what shows the scenario as a
// whole (the frame's unsaved-changes mark, Save, an open Die Stats window)
// follows it.
void afterWindowMessage(App &app);

inline WindowProc bindProc(App &app, AppWindowProc proc) {
    return [&app, proc](WindowId self, const Message &m) {
        const bool handled = proc(app, self, m);
        afterWindowMessage(app);
        return handled;
    };
}

} // namespace treva
