#include "ui/advance_window.h"

#include "state/text.h"

#include "resources/ids/advance.h"
#include "ui/actions_window.h"
#include "ui/frame.h"

namespace treva {
namespace {

using namespace advance_ids;

const char kInstructions[] = "(Use the 'NTC' button to determine if the unit advances into CC)\r\r"
                             "(Use 'CC Pairings' to determine how that unit attacks once in CC/Melee)\r\r"
                             "(Use 'CC Attack' to resolve the attack)";

const char kNtcModifiers[] = "-2   IF FRIENDLY units in VPO\r"
                             "-1   ENEMY IS IN ADVANCE Atttiude\r"
                             "-1   Per Pinned/Panicked FRIENDLY in LOCATION\r"
                             "-1   Per FRIENDLY unit possessing a SW\r"
                             "-1   Per ENEMY unit already in location\r"
                             "+x   Per leader advacing in\r"
                             "+2 If any FRIENDLY is concealed.";

void showRoll(App &app, WindowId self, const char *format, int value) {
    app.ui.setText(self, kRollField, formatNumber(format, value));
}

// The CC buttons put the key back only if "Advance" replaced it.
void putKeyBack(App &app, WindowId self) {
    if (app.advance.pictureState != -1) {
        app.advance.pictureState = -1;
        showDirectionKey(app, self, kPicture);
    }
}

void command(App &app, WindowId self, int id) {
    ProgramState &p = app.state;
    AdvanceState &a = app.advance;
    switch (id) {
    case kAdvanceButton: {
        a.lastCommand = kAdvanceButton;
        const int dr = rollDice(p, 1, 6, "Advance dr");
        showRoll(app, self, "dr = %i", dr);
        app.ui.setText(self, kTextArea, "");
        showDirectionResult(app, self, dr, kPicture);
        a.pictureState = 0;
        return;
    }
    case kNtcButton:
        showRoll(app, self, "NTC = %i", rollDice(p, 2, 6, "CC NTC DR"));
        putKeyBack(app, self);
        if (a.lastCommand != kNtcButton) {
            a.lastCommand = kNtcButton;
            app.ui.setText(self, kTextArea, kNtcModifiers);
        }
        return;
    case kPairingsButton: {
        a.lastCommand = kPairingsButton;
        const int dr = rollDice(p, 1, 6, "CC Pairings dr");
        showRoll(app, self, "dr = %i", dr);
        putKeyBack(app, self);
        app.ui.setText(self, kTextArea, pairingRuleText(dr));
        return;
    }
    case kAttackButton:
        a.lastCommand = kAttackButton;
        showRoll(app, self, "dr = %i", rollDice(p, 1, 6, "CC Attack dr"));
        putKeyBack(app, self);
        return;
    default: break;
    }
}

void init(App &app, WindowId self) {
    app.ui.setText(self, kTextArea, kInstructions);
    showDirectionKey(app, self, kPicture);
    app.advance.lastCommand = -1;
    app.advance.pictureState = -1;
}

} // namespace

const char *pairingRuleText(int dr) {
    if (dr < 3) return "Combine all ENEMY units one CC vs. one FRIENDLY, using Random Selection if needed.";
    if (dr < 5)
        return "Match each ENEMY with each FRIENDLY using the following priorities:\rbest odds, highest FRIENDLY "
               "morale.";
    return "Combine all ENEMY units in one CC with all FRIENDLY units.";
}

bool advanceWindowProc(App &app, WindowId self, const Message &m) {
    return toolWindowProc(app, self, m, ToolSlot::Advance, init, command);
}

} // namespace treva
