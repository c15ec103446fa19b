#include "ui/frame.h"

#include <filesystem>
#include <functional>
#include <system_error>

#include "activation/activation.h"
#include "resources/dialogs.h"
#include "resources/ids/about.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/menu.h"
#include "ui/actions_window.h"
#include "ui/activation_window.h"
#include "ui/advance_window.h"
#include "ui/dice_chart_window.h"
#include "ui/die_stats_window.h"
#include "ui/random_tables_window.h"
#include "ui/roll_history_window.h"
#include "ui/scenario_files.h"
#include "ui/setup_window.h"

namespace treva {
namespace {

struct ToolWindowKind {
    ToolSlot slot;
    int command;
    int templateId;
    AppWindowProc proc;
};

const ToolWindowKind kToolWindows[] = {
    {ToolSlot::Activation, kCmdActivation, kActivationDialog, activationWindowProc},
    {ToolSlot::Setup, kCmdSetup, kSetupDialog, setupWindowProc},
    {ToolSlot::Actions, kCmdActions, kActionsDialog, actionsWindowProc},
    {ToolSlot::DieStats, kCmdDieStats, kDieStatsDialog, dieStatsWindowProc},
    {ToolSlot::Advance, kCmdAdvance, kAdvanceDialog, advanceWindowProc},
    {ToolSlot::RandomTables, kCmdRandomTables, kRandomTablesDialog, randomTablesWindowProc},
    {ToolSlot::RollHistory, kCmdRollHistory, kRollHistoryDialog, rollHistoryWindowProc},
    {ToolSlot::DiceChart, kCmdDiceChart, kDiceChartDialog, diceChartWindowProc},
};

const ToolWindowKind *kindOfSlot(ToolSlot slot) {
    for (const ToolWindowKind &k : kToolWindows)
        if (k.slot == slot) return &k;
    return nullptr;
}

WindowId &slotOf(App &app, ToolSlot slot) { return app.frame.toolWindows[static_cast<int>(slot)]; }

// The About and notice boxes end on their button, Escape or the close box.
bool aboutBoxProc(App &app, WindowId self, const Message &m) {
    if (m.kind == MessageKind::Init) {
        if (!app.builtWith.empty())
            app.ui.setText(self, about_ids::kBuiltWith,
                           "Written in C++ " + app.builtWith +
                               " by the TREVA developers.\rThe tables are the module's, word for word.");
        return true;
    }
    if (m.kind == MessageKind::Command && (m.id == kCommandOk || m.id == kCommandCancel)) {
        app.ui.endWindow(self, m.id);
        return true;
    }
    return false;
}

void showAboutBoxes(App &app) {
    app.ui.runModal(kAboutDialog, app.ui.frame(), bindProc(app, aboutBoxProc));
    app.ui.runModal(kNoticeDialog, app.ui.frame(), bindProc(app, aboutBoxProc));
}

// The guide in the player's browser; when there is none, or no browser
// takes it, the player learns where it should be.
void showGuide(App &app) {
    const std::optional<std::string> guide = findGuide(app.guidePlaces);
    if (!guide) {
        std::string text = "The TREVA Guide is not installed.";
        if (!app.guidePlaces.empty()) text += " TREVA looked for it at:";
        for (const std::string &place : app.guidePlaces) text += "\n" + place;
        app.ui.showError("TREVA Guide", text);
        return;
    }
    if (!app.ui.openDocument(*guide))
        app.ui.showError("TREVA Guide", "No web browser could be started to show the TREVA Guide, " + *guide + ".");
}

} // namespace

WindowId toolWindow(const App &app, ToolSlot slot) { return app.frame.toolWindows[static_cast<int>(slot)]; }

int commandForTemplate(int templateId) {
    for (const ToolWindowKind &k : kToolWindows)
        if (k.templateId == templateId) return k.command;
    return -1;
}

WindowId openToolWindow(App &app, ToolSlot slot) {
    WindowId &window = slotOf(app, slot);
    if (window != kNoWindow && app.ui.isOpen(window)) {
        app.ui.activate(window); // an open window keeps its contents
        return window;
    }
    const ToolWindowKind *kind = kindOfSlot(slot);
    window = kNoWindow;
    const WindowId created = app.ui.createModeless(kind->templateId, app.ui.frame(), bindProc(app, kind->proc));
    if (app.ui.isOpen(created)) slotOf(app, slot) = created;
    return created;
}

namespace {

void runFrameCommand(App &app, int command) {
    switch (command) {
    case kCmdSaveAs: saveAsCommand(app); return;
    case kCmdExit:
        if (settleUnsavedChanges(app)) app.ui.closeFrame();
        return;
    case kCmdAbout: showAboutBoxes(app); return;
    case kCmdGuide: showGuide(app); return;
    case kCmdOpen:
        if (settleUnsavedChanges(app)) openCommand(app);
        return;
    case kCmdSave: saveCommand(app); return;
    case kCmdArrangeWindows: app.ui.arrangeWindows(); return;
    default: break;
    }
    for (const ToolWindowKind &k : kToolWindows) {
        if (k.command == command) {
            openToolWindow(app, k.slot);
            return;
        }
    }
}

} // namespace

void frameCommand(App &app, int command) {
    runFrameCommand(app, command);
    afterWindowMessage(app);
}

void afterWindowMessage(App &app) {
    followDieStats(app);
    followDiceChart(app);
    followRollHistory(app);
    const bool modified = hasUnsavedChanges(app);
    app.ui.setFrameModified(modified);
    app.ui.setMenuItemEnabled(kCmdSave, app.frame.saveAllowed || modified);
}

bool noteReturnWindow(App &app, const Message &m) {
    if (m.kind == MessageKind::Activate && (m.activeState & 0xFFFF) == kClickActive) app.frame.returnWindow = m.other;
    return false;
}

void closeToolWindow(App &app, WindowId self, ToolSlot slot, bool reactivateReturnWindow) {
    app.ui.endWindow(self, 0);
    WindowId &window = slotOf(app, slot);
    if (window == self) window = kNoWindow;
    if (reactivateReturnWindow && app.frame.returnWindow != kNoWindow) app.ui.activate(app.frame.returnWindow);
}

bool toolWindowProc(App &app, WindowId self, const Message &m, ToolSlot slot, ToolInit init, ToolCommand command) {
    switch (m.kind) {
    case MessageKind::Init: init(app, self); return true;
    case MessageKind::Activate: return noteReturnWindow(app, m);
    case MessageKind::Command:
        command(app, self, m.id);
        if (m.id == kCommandOk || m.id == kCommandCancel) {
            closeToolWindow(app, self, slot);
            return true;
        }
        return false;
    }
    return false;
}

void setMenuItemState(App &app, int command, bool enabled) {
    if (command == kCmdSave) {
        app.frame.saveAllowed = enabled;
        enabled = enabled || hasUnsavedChanges(app);
    }
    app.ui.setMenuItemEnabled(command, enabled);
}

void refreshToolWindows(App &app) {
    const ScenarioState &s = app.state.scenario;
    if (WindowId actions = toolWindow(app, ToolSlot::Actions); app.ui.isOpen(actions)) {
        app.ui.setText(actions, actions_ids::kSummary, formatScenarioSummary(s));
        showDirectionKey(app, actions, actions_ids::kPicture);
    }
    if (WindowId activation = toolWindow(app, ToolSlot::Activation); app.ui.isOpen(activation)) {
        app.ui.setText(activation, activation_ids::kSummary, formatScenarioSummary(s));
        app.ui.setText(activation, activation_ids::kAcField, std::to_string(s.acNumber));
        app.ui.setText(activation, activation_ids::kConditions, activationConditionsText(s.nationality));
        checkRadioButton(app.ui, activation, activation_ids::kHold, activation_ids::kAdvance,
                         s.attitude == 0 ? activation_ids::kHold : activation_ids::kAdvance);
    }
    if (WindowId advance = toolWindow(app, ToolSlot::Advance); app.ui.isOpen(advance))
        showDirectionKey(app, advance, advance_ids::kPicture);
}

namespace {

// Start-up; `taken` follows a scenario from the command line that loaded.
void startUpWith(App &app, std::string_view commandLine, const std::function<void()> &taken) {
    if (app.registerFileType) app.registerFileType();
    resetScenario(app.state);
    // The start values count as saved: what the start-up Setup Options box
    // changes is not, until the player saves it.
    noteScenarioSaved(app);
    showAboutBoxes(app);
    // A scenario that cannot be loaded has been reported; the player then sets
    // one up as on a start without a file.
    if (!commandLine.empty() && loadScenarioFile(app, std::string(commandLine))) {
        setFrameTitle(app, commandLine);
        setMenuItemState(app, kCmdSave, false);
        setMenuItemState(app, kCmdSaveAs, true);
        if (taken) taken();
    } else {
        app.ui.runModal(kSetupDialog, app.ui.frame(), bindProc(app, setupWindowProc));
        setMenuItemState(app, kCmdSave, true);
        setMenuItemState(app, kCmdSaveAs, false);
    }
    frameCommand(app, kCmdActivation);
}

} // namespace

void startUp(App &app, std::string_view commandLine) { startUpWith(app, commandLine, {}); }

void startUpKept(App &app, const KeptScenario &kept) {
    startUpWith(app, kept.keptPath, [&app, &kept] {
        app.frame.currentFilePath = kept.filePath;
        if (kept.filePath.empty()) {
            // Never saved: as after the start-up Setup Options box.
            app.frame.shownName.clear();
            app.ui.setFrameCaption(kUntitledCaption);
            setMenuItemState(app, kCmdSave, true);
            setMenuItemState(app, kCmdSaveAs, false);
        } else {
            setFrameTitle(app, kept.filePath);
        }
        if (kept.savedRecord) app.frame.savedRecord = *kept.savedRecord;
    });
}

std::optional<std::string> findGuide(const std::vector<std::string> &places) {
    for (const std::string &place : places) {
        std::error_code error;
        if (std::filesystem::is_regular_file(filePath(place), error)) return place;
    }
    return std::nullopt;
}

std::string commandLinePath(int argc, const char *const *argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) path += ' ';
        path += argv[i];
    }
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    return path;
}

} // namespace treva
