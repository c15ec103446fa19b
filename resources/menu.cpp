#include "resources/menu.h"

namespace treva {

const std::vector<MenuPopup> &frameMenu() {
    static const std::vector<MenuPopup> menu = {
        {"&File",
         {
             {"&Open...", kCmdOpen, false},
             {"&Save...", kCmdSave, false},
             {"Sa&ve As...", kCmdSaveAs, false},
             {nullptr, 0, false},
             {"Exit", kCmdExit, false},
         }},
        {"&Edit",
         {
             {"&Setup...", kCmdSetup, false},
             {"&View Stats...", kCmdDieStats, false},
         }},
        {"&Windows",
         {
             {"&Activation...", kCmdActivation, false},
             {"A&ctions...", kCmdActions, false},
             {"A&dvance...", kCmdAdvance, false},
             {"&Random Numbers...", kCmdRandomTables, false},
             {"Roll &History...", kCmdRollHistory, false, "Ctrl+H"},
             {"Dic&e Chart...", kCmdDiceChart, false, "Ctrl+J"},
             {"Scenar&io...", kCmdScenario, true},
             {nullptr, 0, false},
             {"Arrange &Windows", kCmdArrangeWindows, false},
         }},
        {"Help",
         {
             {"TREVA &Guide", kCmdGuide, false, "F1"},
             {"About TREVA!...", kCmdAbout, false},
         }},
    };
    return menu;
}

const std::vector<ToolbarButton> &toolbarButtons() {
    static const std::vector<ToolbarButton> buttons = {
        {0, kCmdSetup, "Set-up"},
        {1, kCmdActivation, "Suspect ?"},
        {2, kCmdActions, "PREP FIRE"},
        {3, kCmdAdvance, "MELEE"},
        {4, kCmdRandomTables, "Random Number Tables"},
        {5, kCmdDieStats, "DR Stats"},
        {6, kCmdAbout, "About"},
    };
    return buttons;
}

} // namespace treva
