// The A1 procedure: which ENEMY units appear on an activation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "state/program_state.h"

namespace treva {

// msr + a1Modifier, minus 1 under Advance. 64 bits: a scenario may carry any
// 32-bit modifier, and the sums must not wrap.
int64_t a1DrModifier(const ScenarioState &scenario);

// Given the A1 DR the caller threw, draws the units of the A1 result from the
// tables for the scenario's nationality and date, each with dice of its own,
// into `out` (a buffer of `capacity` bytes), one unit per line. Returns the A1
// DR modifier.
int64_t generateUnits(ProgramState &program, int a1Dr, std::string &out, std::size_t capacity);

} // namespace treva
