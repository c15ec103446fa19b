// What an ENEMY infantry unit or AFV does in its turn: one roll of two single
// dice read against the ENEMY attitude.
#pragma once

#include <cstdint>

#include "actions/priority_tables.h"

namespace treva {

struct ActionThresholds {
    int32_t moveLimit;
    int32_t fireLimit;
    int32_t entrenchLimit;
};

enum class ActionBand { Moves, Fires, Entrenches, None };

const ActionThresholds &actionThresholds(int32_t attitude);
ActionBand actionBand(int32_t attitude, int total);

// The panic text for infantry doubles of this total.
const char *panicText(int doublesTotal);

ActionFields infantryAction(ProgramState &program);
ActionFields vehicleAction(ProgramState &program);

} // namespace treva
