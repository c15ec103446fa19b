// The scenario and its dice, in one place: the scenario record and its
// snapshot, the generator, the roll history, the activation modifiers and the
// activation's results. The windows keep their own state beside it (ui/app.h). One
// instance serves the desktop program or treva-cli; tests make a fresh one
// each.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "dice/dice.h"
#include "state/roll_history.h"
#include "state/scenario.h"

namespace treva {

// The situation of an activation roll, set in the Activation window. Not saved.
struct ActivationModifiers {
    int32_t vpoAdjacent;     // 1 checked
    int32_t stoneBuilding;   // 1 checked
    int32_t nearbyUnits;     // 1 checked
    int32_t levelModifier;   // 0..-4
    int32_t terrainModifier; // 0..2
};

// Writes the local time as "YYYY-MM-DD HH:MM:SS".
using ClockText = void (*)(char (&text)[20]);
void localTimeText(char (&text)[20]);

inline constexpr std::size_t kUnitsTextCapacity = 500;
inline constexpr std::size_t kResultTextCapacity = 1000;

struct ProgramState {
    ScenarioState scenario{};
    ScenarioState snapshot{};
    uint32_t generator = kUnseededGenerator;
    ActivationModifiers modifiers{};
    RollHistory history;
    ClockText clock = localTimeText; // when each roll was made

    // Activation window results.
    int32_t lastActivationDr = 0;
    std::string unitsText; // at most kUnitsTextCapacity - 1 bytes
};

// The dice roller of the program: throws, counts into the statistics and
// records the roll in the history under `purpose` (the window's own words).
int rollDice(ProgramState &program, int count, int faces, const char *purpose);
// Two dice thrown together and counted as two dr, so that doubles can be seen.
std::pair<int, int> rollTwoSingleDice(ProgramState &program, const char *purpose);
// Picks one of `choices` (0-based) and records the label picked: `labels`,
// or the number from 1 when there are none.
int drawPick(ProgramState &program, const char *purpose, int choices, const char *const *labels = nullptr);
// Clears the die statistics and marks the place in the history.
void clearDieStats(ProgramState &program);
inline void seedGenerator(ProgramState &program, uint32_t value) { seedGenerator(program.generator, value); }

// Start values of the scenario, cleared statistics and modifiers, the
// generator seeded with `seed`, and the snapshot taken.
void resetScenario(ProgramState &program, uint32_t seed);
inline void resetScenario(ProgramState &program) { resetScenario(program, entropySeed()); }

// Marks the scenario changed when it differs from the snapshot in any byte.
void noteScenarioChange(ProgramState &program);

// Takes a record read from a file: `changed` cleared, snapshot taken.
void adoptLoadedScenario(ProgramState &program, const ScenarioState &loaded);

} // namespace treva
