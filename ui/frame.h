// The frame's logic: start-up, the command table, the single instance of each
// tool window, the window to return to, and the operations every tool window
// shares.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/app.h"

namespace treva {

// Everything start-up does once the frame exists: file type, fresh scenario,
// the About and notice boxes, the scenario from the command line (or the
// Setup Options box), then the Activation window.
void startUp(App &app, std::string_view commandLine);

// Start-up with the scenario kept from the last run (a browser keeps one
// between visits) at `keptPath`, its roll history beside it: taken up as a
// scenario named on the command line is, then it is again the scenario of
// `filePath` ("" for one never saved), with `savedRecord` as last opened or
// saved (nothing: as kept).
struct KeptScenario {
    std::string keptPath;
    std::string filePath;
    std::optional<ScenarioBytes> savedRecord;
};
void startUpKept(App &app, const KeptScenario &kept);

// A command from the menu, the toolbar, the accelerator or the program.
void frameCommand(App &app, int command);

// The tool window of a slot, opened if needed and brought forward.
WindowId openToolWindow(App &app, ToolSlot slot);
WindowId toolWindow(const App &app, ToolSlot slot);
// The command that opens a tool window of this template, or -1.
int commandForTemplate(int templateId);

// Tool windows pass every activation message here; remembers the window
// that lost activation to a tool window clicked with the mouse. Returns false
// so that default activation handling still runs.
bool noteReturnWindow(App &app, const Message &message);

// Ends a tool window: empties its slot and, when asked, makes the return
// window active again.
void closeToolWindow(App &app, WindowId self, ToolSlot slot, bool reactivateReturnWindow = true);

// The procedure shape the tool windows share: initialisation, activation
// passed to noteReturnWindow, and commands 1 and 2 closing the window after
// `command` has seen them (Setup Options reads its lists on OK).
using ToolInit = void (*)(App &app, WindowId self);
using ToolCommand = void (*)(App &app, WindowId self, int id);
bool toolWindowProc(App &app, WindowId self, const Message &message, ToolSlot slot, ToolInit init, ToolCommand command);

// Enables or grays a frame menu item by its command. Save stays enabled
// while there are unsaved changes.
void setMenuItemState(App &app, int command, bool enabled);

// After a whole-scenario change: the scenario texts and direction pictures of
// the open Activation, Actions and Advance windows follow it.
void refreshToolWindows(App &app);

// The first of the guide's places that holds it, or nothing.
std::optional<std::string> findGuide(const std::vector<std::string> &places);

// Joins a command line split into arguments back into one path, without one
// pair of surrounding quotes.
std::string commandLinePath(int argc, const char *const *argv);

} // namespace treva
