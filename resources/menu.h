// The frame's menu, toolbar and keyboard accelerator.
#pragma once

#include <vector>

namespace treva {

// Frame commands.
enum : int {
    kCmdSaveAs = 0,
    kCmdExit = 13,
    kCmdActivation = 34,
    kCmdSetup = 35,
    kCmdActions = 36,
    kCmdDieStats = 38,
    kCmdAdvance = 39,
    kCmdAbout = 40,
    kCmdRandomTables = 41,
    kCmdRollHistory = 42,
    kCmdDiceChart = 43,
    kCmdGuide = 44, // the player's guide, in the platform's browser
    kCmdArrangeWindows = 45,
    kCmdScenario = 40004, // always grayed; nothing is bound to it
    kCmdOpen = 40011,
    kCmdSave = 40012,
};

struct MenuItem {
    const char *text; // "&" marks the mnemonic; nullptr for a separator
    int command;
    bool grayed; // initial state
    // A key that runs the command from any window of the program: Ctrl with
    // a letter or digit ("Ctrl+H"), or a function key ("F1"); nullptr for
    // none.
    const char *shortcut = nullptr;
};

struct MenuPopup {
    const char *title;
    std::vector<MenuItem> items;
};

const std::vector<MenuPopup> &frameMenu();

// Toolbar buttons, left to right: image i of the strip (bitmap 129) and command.
struct ToolbarButton {
    int image;
    int command;
    const char *name; // the lettering on its picture, for tooltips and screen readers
};
const std::vector<ToolbarButton> &toolbarButtons();

inline constexpr int kToolbarBitmap = 129;
inline constexpr int kToolbarButtonSize = 48;

// Alt with the typed character "O" opens a scenario.
inline constexpr char kOpenAcceleratorChar = 'O';

inline constexpr char kUntitledCaption[] = "TREVA! A VENK Assistant [Untitled]";
inline constexpr int kFrameWidth = 392;
inline constexpr int kAppIcon = 106;
inline constexpr int kScenarioFileIcon = 131;

} // namespace treva
