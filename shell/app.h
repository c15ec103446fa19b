// The running program as the window procedures see it: its state and the
// window layer it shows itself through.
#pragma once

#include <functional>

#include "platform/window_layer.h"
#include "state/program_state.h"

namespace treva {

struct App {
    explicit App(WindowLayer &layer) : ui(layer) {}

    ProgramState state;
    WindowLayer &ui;
    // Associates scenario files with the program at start-up, where the
    // desktop can (set by the desktop program; tests leave it empty).
    std::function<void()> registerFileType;
};

// A window procedure of the program.
using AppWindowProc = bool (*)(App &app, WindowId self, const Message &message);

inline WindowProc bindProc(App &app, AppWindowProc proc) {
    return [&app, proc](WindowId self, const Message &m) { return proc(app, self, m); };
}

} // namespace treva
