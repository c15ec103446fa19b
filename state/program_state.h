// The scenario and its dice, in one place: the scenario record and its
// snapshot, the generator, the activation modifiers and the activation's
// results. The windows keep their own state beside it (windows/app.h). One
// instance serves the desktop program or treva-cli; tests make a fresh one
// each.
#pragma once

#include <cstdint>
#include <string>

#include "dice/dice.h"
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

inline constexpr std::size_t kUnitsTextCapacity = 500;
inline constexpr std::size_t kResultTextCapacity = 1000;

struct ProgramState {
    ScenarioState scenario{};
    ScenarioState snapshot{};
    uint32_t generator = kUnseededGenerator;
    ActivationModifiers modifiers{};

    // Activation window results.
    int32_t lastActivationDr = 0;
    std::string unitsText; // at most kUnitsTextCapacity - 1 bytes
};

inline int rollDice(ProgramState &program, int count, int faces) {
    return rollDice(program.generator, program.scenario.stats, count, faces);
}
inline int drawRandom(ProgramState &program) { return drawRandom(program.generator); }
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
