// Writes the program's numbers that the browser tests use as an ES module,
// from the program's own headers, so that no number is written twice:
//   treva_web_test_constants FILE
#include <cstdio>
#include <fstream>
#include <string>

#include "resources/dialogs.h"
#include "resources/ids/activation.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "ui/frame.h"

namespace {

using namespace treva;

// The menu a command is on, as the page's menu bar names it ("Windows").
std::string menuOf(int command) {
    for (const MenuPopup &popup : frameMenu())
        for (const MenuItem &item : popup.items)
            if (item.text && item.command == command) {
                std::string title;
                for (const char *c = popup.title; *c; ++c)
                    if (*c != '&') title += *c;
                return title;
            }
    return "";
}

std::string window(int command, int templateId) {
    return "{command: " + std::to_string(command) + ", template: " + std::to_string(templateId) + ", menu: '" +
           menuOf(command) + "'}";
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: treva_web_test_constants FILE\n");
        return 2;
    }
    std::string text = "// The program's numbers the browser tests use, made by the build from its\n"
                       "// headers (tests/web/constants.cpp). Not to be edited.\n";
    text += "export const TEMPLATES = {activation: " + std::to_string(kActivationDialog) +
            ", setup: " + std::to_string(kSetupDialog) + ", actions: " + std::to_string(kActionsDialog) +
            ", special: " + std::to_string(kSpecialDialog) + ", dieStats: " + std::to_string(kDieStatsDialog) +
            ", advance: " + std::to_string(kAdvanceDialog) + ", about: " + std::to_string(kAboutDialog) +
            ", notice: " + std::to_string(kNoticeDialog) + ", randomTables: " + std::to_string(kRandomTablesDialog) +
            ", rollHistory: " + std::to_string(kRollHistoryDialog) +
            ", diceChart: " + std::to_string(kDiceChartDialog) + "};\n";
    text += "export const COMMANDS = {activation: " + std::to_string(kCmdActivation) +
            ", setup: " + std::to_string(kCmdSetup) + ", actions: " + std::to_string(kCmdActions) +
            ", dieStats: " + std::to_string(kCmdDieStats) + ", advance: " + std::to_string(kCmdAdvance) +
            ", about: " + std::to_string(kCmdAbout) + ", randomTables: " + std::to_string(kCmdRandomTables) +
            ", rollHistory: " + std::to_string(kCmdRollHistory) + ", diceChart: " + std::to_string(kCmdDiceChart) +
            ", guide: " + std::to_string(kCmdGuide) + ", exit: " + std::to_string(kCmdExit) + "};\n";
    // The frame's commands and the tool windows they open.
    text += "export const TOOL_WINDOWS = [";
    const int tools[] = {kActivationDialog, kSetupDialog,        kActionsDialog,     kDieStatsDialog,
                         kAdvanceDialog,    kRandomTablesDialog, kRollHistoryDialog, kDiceChartDialog};
    for (const int templateId : tools) text += "\n  " + window(commandForTemplate(templateId), templateId) + ",";
    text += "\n];\n";
    text += "export const ABOUT = " + window(kCmdAbout, kAboutDialog) + ";\n";
    text += "export const NOTICE_TEMPLATE = " + std::to_string(kNoticeDialog) + ";\n";
    text += "export const SPECIAL_TEMPLATE = " + std::to_string(kSpecialDialog) + ";\n";
    text += "export const OPEN_COMMAND = " + std::to_string(kCmdOpen) + ";\n";
    text += "export const SAVE_COMMAND = " + std::to_string(kCmdSave) + ";\n";
    text += "export const SAVE_AS_COMMAND = " + std::to_string(kCmdSaveAs) + ";\n";
    text += "export const SCENARIO_COMMAND = " + std::to_string(kCmdScenario) + ";\n";
    text += "export const OK = " + std::to_string(kCommandOk) + ";\n";
    // Control ids the tests click or read.
    text += "export const ACTIVATION = {roll: " + std::to_string(activation_ids::kRoll) +
            ", dr: " + std::to_string(activation_ids::kDrField) +
            ", level: " + std::to_string(activation_ids::kLevelList) + "};\n";
    text += "export const DIE_STATS = {oneDieCount1: " + std::to_string(die_stats_ids::oneDieCount(1)) +
            ", oneDieTotal: " + std::to_string(die_stats_ids::kOneDieTotal) + "};\n";
    text += "export const SETUP_SPECIAL_BUTTON = " + std::to_string(setup_ids::kSpecialButton) + ";\n";
    std::ofstream out(argv[1], std::ios::binary);
    out << text;
    return out.good() ? 0 : 1;
}
