#include "ui/setup_window.h"

#include "resources/dialogs.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "ui/frame.h"

namespace treva {
namespace {

using namespace setup_ids;
using namespace special_ids;

void fillList(WindowLayer &ui, WindowId self, int control, const char *const *names, int first, int end, int selected) {
    for (int i = first; i < end; ++i) ui.addItem(self, control, names[i]);
    ui.setSelection(self, control, selected);
}

void initSetup(App &app, WindowId self) {
    WindowLayer &ui = app.ui;
    const ScenarioState &s = app.state.scenario;
    checkRadioButton(ui, self, kHold, kAdvance, s.attitude == 0 ? kHold : kAdvance);
    checkRadioButton(ui, self, kAc2, kAc5, kAc2 + s.acNumber - 2);
    checkRadioButton(ui, self, kFlatHexes, kPointedHexes, s.mapOrientation == 0 ? kFlatHexes : kPointedHexes);
    fillList(ui, self, kYearList, yearNames, 0, 7, s.yearIndex - 4);
    fillList(ui, self, kMonthList, monthNames, 1, 13, s.month - 1);
    fillList(ui, self, kMsrList, msrNames, 0, 5, s.msr + 2);
    fillList(ui, self, kNationalityList, nationalityNames, 0, kNationalityCount, s.nationality);
}

void pressOk(App &app, WindowId self) {
    WindowLayer &ui = app.ui;
    ScenarioState &s = app.state.scenario;
    // A list without a selection keeps the field as it was.
    if (int year = ui.selection(self, kYearList); year >= 0) s.yearIndex = year + 4;
    if (int month = ui.selection(self, kMonthList); month >= 0) s.month = month + 1;
    if (int nationality = ui.selection(self, kNationalityList); nationality >= 0) s.nationality = nationality;
    applyNationalityDateFloor(s);
    noteScenarioChange(app.state);
    if (s.changed == 1) {
        setMenuItemState(app, kCmdSave, true);
        setMenuItemState(app, kCmdSaveAs, true);
    }
    refreshToolWindows(app);
}

void setupCommand(App &app, WindowId self, int id) {
    WindowLayer &ui = app.ui;
    ScenarioState &s = app.state.scenario;
    switch (id) {
    case kAc2:
    case kAc3:
    case kAc4:
    case kAc5:
        checkRadioButton(ui, self, kAc2, kAc5, id);
        s.acNumber = id - kAc2 + 2;
        return;
    case kHold:
    case kAdvance:
        checkRadioButton(ui, self, kHold, kAdvance, id);
        s.attitude = id == kHold ? 0 : 1;
        return;
    case kFlatHexes:
    case kPointedHexes:
        checkRadioButton(ui, self, kFlatHexes, kPointedHexes, id);
        s.mapOrientation = id - kFlatHexes;
        return;
    case kMsrList: {
        const int selected = ui.selection(self, kMsrList);
        if (selected < 0) return;
        s.msr = selected - 2;
        // An MSR and the special modifiers exclude each other.
        if (s.msr != 0) s.a1Modifier = s.a5Modifier = 0;
        return;
    }
    case kSpecialButton:
        ui.runModal(kSpecialDialog, self, bindProc(app, specialWindowProc));
        if (s.a1Modifier != 0 || s.a5Modifier != 0) ui.setSelection(self, kMsrList, s.msr + 2);
        return;
    case kCommandOk: // the window closes after this
        pressOk(app, self);
        return;
    default: break;
    }
}

bool specialCommand(App &app, WindowId self, int id) {
    WindowLayer &ui = app.ui;
    ScenarioState &s = app.state.scenario;
    switch (id) {
    case kFortificationBox:
        s.fortificationEvenDr = s.fortificationEvenDr == 0 ? 1 : 0;
        ui.setChecked(self, kFortificationBox, s.fortificationEvenDr != 0);
        return false;
    case kCommandOk:
        s.a1Modifier = parseModifierText(ui.text(self, kA1Box));
        s.a5Modifier = parseModifierText(ui.text(self, kA5Box));
        if (s.a1Modifier != 0 || s.a5Modifier != 0) s.msr = 0;
        ui.endWindow(self, id);
        return true;
    case kCommandCancel: ui.endWindow(self, id); return true;
    default: return false;
    }
}

} // namespace

bool setupWindowProc(App &app, WindowId self, const Message &m) {
    return toolWindowProc(app, self, m, ToolSlot::Setup, initSetup, setupCommand);
}

bool specialWindowProc(App &app, WindowId self, const Message &m) {
    switch (m.kind) {
    case MessageKind::Init: {
        const ScenarioState &s = app.state.scenario;
        app.ui.setChecked(self, kFortificationBox, s.fortificationEvenDr != 0);
        app.ui.setText(self, kA1Box, std::to_string(s.a1Modifier));
        app.ui.setText(self, kA5Box, std::to_string(s.a5Modifier));
        app.ui.focusAndSelectAll(self, kA1Box);
        return false; // the focus has been set
    }
    case MessageKind::Activate: return false;
    case MessageKind::Command: return specialCommand(app, self, m.id);
    }
    return false;
}

int32_t parseModifierText(std::string_view text) {
    text = text.substr(0, 9); // what fits the box's buffer
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int32_t value = 0; // at most nine digits: always fits
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

} // namespace treva
