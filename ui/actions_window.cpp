#include "ui/actions_window.h"

#include "state/text.h"

#include "actions/action_roll.h"
#include "resources/ids/actions.h"
#include "ui/frame.h"

namespace treva {
namespace {

using namespace actions_ids;

const char kIdleText[] = "(Actions get reported here)";
const char kMarker[] = "\xBB";

// The scenario saves the marker's id as its action category.
static_assert(int(kVehMoveMarker) == int(kVehicleMovementCategory) && int(kIftMarker) == int(kIftAttackCategory) &&
              int(kOrdInfMarker) == int(kOrdnanceVsInfantryCategory));

struct Category {
    const char *purpose; // the button's words, for the roll history
    const char *title;
    const char *help;
    void (*lookup)(ProgramState &, int, ActionFields &);
};

// By table button, kVehMove..kOrdInf; each button's marker is beside it.
const Category kCategories[] = {
    {"Veh. Move. DR", "Vehicle Movement Directions",
     "(Displays the results of an AFV movement using the buttons below.)", vehicleMovementLookup},
    {"Inf. Move. DR", "Infantry Movement Directions",
     "(Displays the results of an INF movement using the buttons below.)", infantryMovementLookup},
    {"IFT Attack DR", "Infantry Attack Directions", "(Displays the results of an IFT attack using the buttons below.)",
     iftAttackLookup},
    {"LATW DR", "LATW Attack Directions", "(Displays the results of an LATW attack using the buttons below.)",
     latwLookup},
    {"Ord. vs Veh. DR", "Ordance vs. Vehicle Attack Directions",
     "(Displays the results of an Ordance vs. vehicle attack using the buttons below.)", ordnanceVsVehicleLookup},
    {"Ord. vs Inf DR", "Ordance vs. Infantry Attack Directions",
     "(Displays the results of an ordance vs. infantry attack using the buttons below.)", ordnanceVsInfantryLookup},
};

void show(App &app, WindowId self, const ActionFields &f) {
    const std::pair<const std::optional<std::string> *, int> fields[] = {
        {&f.results, kResults}, {&f.dice, kDice},           {&f.roll, kRoll},
        {&f.panic, kPanic},     {&f.direction, kDirection}, {&f.title, kTitle},
    };
    for (const auto &[text, control] : fields)
        if (*text) app.ui.setText(self, control, **text);
    if (f.picture) app.ui.setImage(self, kPicture, *f.picture);
}

void enableDieButtons(App &app, WindowId self, bool enabled) {
    for (int id = kDie2; id <= kDie12; ++id) app.ui.setEnabled(self, id, enabled);
}

void init(App &app, WindowId self) {
    ScenarioState &s = app.state.scenario;
    enableDieButtons(app, self, s.manualDieRoll == 1);
    if (s.manualDieRoll == 1) app.ui.setChecked(self, kManualBox, true);
    app.ui.setText(self, kResults, kIdleText);
    app.ui.setText(self, kSummary, formatScenarioSummary(s));
    s.actionCategory = kIftMarker;
    showDirectionKey(app, self, kPicture);
}

void categoryButton(App &app, WindowId self, int id) {
    ScenarioState &s = app.state.scenario;
    const Category &category = kCategories[id - kVehMove];
    const int marker = id - kVehMove + kVehMoveMarker;
    app.ui.setText(self, kTitle, category.title);
    showDirectionKey(app, self, kPicture);
    if (s.manualDieRoll == 1) {
        // Manual mode only chooses what the die buttons resolve.
        app.ui.setText(self, s.actionCategory, "");
        app.ui.setText(self, kResults, category.help);
        s.actionCategory = marker;
        app.ui.setText(self, marker, kMarker);
        return;
    }
    const int dr = rollDice(app.state, 2, 6, category.purpose);
    ActionFields r;
    if (marker != kInfMoveMarker) r.roll = formatNumber("DR = %i", dr);
    if (marker != kInfMoveMarker && marker != kVehMoveMarker) r.dice = "-";
    category.lookup(app.state, dr, r);
    // A movement row that rolled its own direction keeps it shown.
    if (marker != kInfMoveMarker) r.direction = "";
    show(app, self, r);
}

void dieButton(App &app, WindowId self, int id) {
    const ScenarioState &s = app.state.scenario;
    app.ui.setText(self, kResults, "");
    showDirectionKey(app, self, kPicture);
    const int v = id - kDie2 + 2;
    ActionFields r;
    r.roll = formatNumber("DR = %i", v);
    if (s.actionCategory >= kVehMoveMarker && s.actionCategory <= kOrdInfMarker) {
        if (s.actionCategory == kIftMarker) r.dice = "-";
        kCategories[s.actionCategory - kVehMoveMarker].lookup(app.state, v, r);
    }
    if (s.actionCategory != kInfMoveMarker) r.direction = "";
    show(app, self, r);
}

void command(App &app, WindowId self, int id) {
    ScenarioState &s = app.state.scenario;
    if (id >= kVehMove && id <= kOrdInf) {
        categoryButton(app, self, id);
        return;
    }
    if (id >= kDie2 && id <= kDie12) {
        dieButton(app, self, id);
        return;
    }
    switch (id) {
    case kInfAction: show(app, self, infantryAction(app.state)); return;
    case kAfvAction: show(app, self, vehicleAction(app.state)); return;
    case kManualBox:
        app.ui.setText(self, kResults, kIdleText);
        app.ui.setText(self, kTitle, "");
        app.ui.setText(self, kRoll, "");
        s.manualDieRoll = app.ui.isChecked(self, kManualBox) ? 1 : 0;
        enableDieButtons(app, self, s.manualDieRoll == 1);
        app.ui.setText(self, s.actionCategory, s.manualDieRoll == 1 ? kMarker : "");
        return;
    case kDirectionButton: {
        const int dr = rollDice(app.state, 1, 6, "Direction dr");
        app.ui.setText(self, kDirection, formatNumber("dr = %i", dr));
        showDirectionResult(app, self, dr, kPicture);
        return;
    }
    default: break;
    }
}

} // namespace

void showDirectionKey(App &app, WindowId window, int control) {
    app.ui.setImage(window, control, directionKeyBitmap(app.state.scenario.mapOrientation));
}

void showDirectionResult(App &app, WindowId window, int dr, int control) {
    app.ui.setImage(window, control, directionResultBitmap(app.state.scenario.mapOrientation, dr));
}

bool actionsWindowProc(App &app, WindowId self, const Message &m) {
    return toolWindowProc(app, self, m, ToolSlot::Actions, init, command);
}

} // namespace treva
