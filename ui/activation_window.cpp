#include "ui/activation_window.h"

#include "activation/activation.h"
#include "resources/ids/activation.h"
#include "ui/frame.h"

namespace treva {
namespace {

using namespace activation_ids;

const char *const kLevels[] = {"Same level", "1 level greater", "2 levels greater", "3 levels greater",
                               "4 levels greater"};
const char *const kTerrains[] = {"Open", "Village", "City"};

void show(App &app, WindowId self, const ActivationOutcome &o) {
    const std::pair<const std::optional<std::string> *, int> fields[] = {
        {&o.dr, kDrField}, {&o.modifier, kModifierField}, {&o.finalDr, kFinalField}, {&o.status, kStatus},
        {&o.a1, kA1Field}, {&o.units, kUnitsField},
    };
    for (const auto &[text, control] : fields)
        if (*text) app.ui.setText(self, control, **text);
}

void init(App &app, WindowId self) {
    WindowLayer &ui = app.ui;
    const ActivationModifiers &m = app.state.modifiers;
    app.state.lastActivationDr = 0;
    for (const char *level : kLevels) ui.addItem(self, kLevelList, level);
    for (const char *terrain : kTerrains) ui.addItem(self, kTerrainList, terrain);
    // The controls show the modifiers that the next roll will use, which
    // outlive the window.
    ui.setSelection(self, kLevelList, -m.levelModifier);
    ui.setSelection(self, kTerrainList, m.terrainModifier);
    ui.setChecked(self, kVpo, m.vpoAdjacent != 0);
    ui.setChecked(self, kStone, m.stoneBuilding != 0);
    ui.setChecked(self, kNearby, m.nearbyUnits != 0);
    ui.setText(self, kSummary, formatScenarioSummary(app.state.scenario));
    ui.setText(self, kConditions, activationConditionsText(app.state.scenario.nationality));
    ui.setEnabled(self, kManual, false);
    ui.setText(self, kAcField, std::to_string(app.state.scenario.acNumber));
    checkRadioButton(ui, self, kHold, kAdvance, app.state.scenario.attitude == 0 ? kHold : kAdvance);
    ui.setEnabled(self, kHold, false);
    ui.setEnabled(self, kAdvance, false);
}

void command(App &app, WindowId self, int id) {
    WindowLayer &ui = app.ui;
    ActivationModifiers &m = app.state.modifiers;
    switch (id) {
    case kRoll: show(app, self, rollActivation(app.state)); return;
    case kVpo:
    case kStone:
    case kNearby: {
        int32_t &field = id == kVpo ? m.vpoAdjacent : (id == kStone ? m.stoneBuilding : m.nearbyUnits);
        field = ui.isChecked(self, id) ? 1 : 0;
        show(app, self, reevaluateActivation(app.state));
        return;
    }
    case kLevelList:
    case kTerrainList: {
        const int selected = ui.selection(self, id);
        if (selected >= 0) {
            if (id == kLevelList)
                m.levelModifier = -selected;
            else
                m.terrainModifier = selected;
        }
        show(app, self, reevaluateActivation(app.state));
        return;
    }
    case kAllowManual: ui.setEnabled(self, kManual, ui.isChecked(self, kAllowManual)); return;
    case kAllowAttitude: {
        checkRadioButton(ui, self, kHold, kAdvance, app.state.scenario.attitude == 0 ? kHold : kAdvance);
        const bool allowed = ui.isChecked(self, kAllowAttitude);
        ui.setEnabled(self, kHold, allowed);
        ui.setEnabled(self, kAdvance, allowed);
        return;
    }
    case kHold:
    case kAdvance:
        checkRadioButton(ui, self, kHold, kAdvance, id);
        app.state.scenario.attitude = id == kHold ? 0 : 1;
        ui.setText(self, kSummary, formatScenarioSummary(app.state.scenario));
        return;
    case kManual: show(app, self, manualActivation(app.state)); return;
    default: break;
    }
}

} // namespace

bool activationWindowProc(App &app, WindowId self, const Message &m) {
    return toolWindowProc(app, self, m, ToolSlot::Activation, init, command);
}

} // namespace treva
