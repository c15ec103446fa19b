#include "actions/action_roll.h"

#include <cstdio>
#include <tuple>

namespace treva {
namespace {

constexpr ActionThresholds kHold{4, 9, 11};
constexpr ActionThresholds kAdvance{7, 10, 11};

// Two single dice, so that doubles can be seen: counted as two dr.
void rollTwoDice(ProgramState &program, int &a, int &b, ActionFields &fields, const char *purpose) {
    std::tie(a, b) = rollTwoSingleDice(program, purpose);
    char text[32];
    std::snprintf(text, sizeof text, "DR = %i, %i", a, b);
    fields.dice = text;
    fields.roll = "-";
    fields.title = "";
}

} // namespace

const ActionThresholds &actionThresholds(int32_t attitude) { return attitude == 0 ? kHold : kAdvance; }

ActionBand actionBand(int32_t attitude, int total) {
    const ActionThresholds &t = actionThresholds(attitude);
    if (total <= t.moveLimit) return ActionBand::Moves;
    if (total <= t.fireLimit) return ActionBand::Fires;
    if (total <= t.entrenchLimit) return ActionBand::Entrenches;
    return ActionBand::None;
}

const char *panicText(int total) {
    if (total >= 10) return "All Classes Panic";
    if (total >= 6) return "1st line Panic\r2nd line/Partisans Panic\rConscript/Green Panic";
    if (total >= 4) return "2nd line/Partisans Panic\rConscript/Green Panic";
    return "Conscript/Green Panic";
}

ActionFields infantryAction(ProgramState &program) {
    ActionFields fields;
    int a, b;
    rollTwoDice(program, a, b, fields, "INF Action DR");
    const int total = a + b;
    if (a == b) {
        fields.panic = panicText(total);
        if (total >= 10) {
            // Everyone panics: no action, and the direction stays as it was.
            fields.results = "";
            return fields;
        }
    } else {
        fields.panic = "";
    }
    switch (actionBand(program.scenario.attitude, total)) {
    case ActionBand::Moves: fields.results = "Unit MOVES"; break;
    case ActionBand::Fires: iftAttackLookup(program, total, fields); break;
    case ActionBand::Entrenches: fields.results = "Unit ENTRENCHES"; break;
    case ActionBand::None: break; // 12 is always doubles and has ended above
    }
    fields.direction = "";
    return fields;
}

ActionFields vehicleAction(ProgramState &program) {
    ActionFields fields;
    int a, b;
    rollTwoDice(program, a, b, fields, "AFV Action DR");
    fields.panic = "";
    // A vehicle that does not fire moves; that includes its third band and a 12.
    if (actionBand(program.scenario.attitude, a + b) == ActionBand::Fires) {
        fields.results = "AFV/ORD Fires.\r\rSelect the button appropriate button on the left.";
    } else {
        fields.results = "Unit MOVES";
    }
    fields.direction = "";
    return fields;
}

} // namespace treva
