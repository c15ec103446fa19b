// The activation roll: does a hidden ENEMY unit activate, and with what units.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "state/program_state.h"

namespace treva {

// New texts for the Activation window's result fields; a field left empty
// (std::nullopt) keeps what it shows. A cleared field gets "".
struct ActivationOutcome {
    std::optional<std::string> dr;       // the activation dr
    std::optional<std::string> modifier; // the modifiers' total
    std::optional<std::string> finalDr;
    std::optional<std::string> status; // "S? Activated" and the like
    std::optional<std::string> a1;     // "A1 DR = %i/%i"
    std::optional<std::string> units;
};

int activationModifierTotal(const ActivationModifiers &modifiers, int32_t attitude);

// Throws the activation dr and, unless the unit is removed outright, the A1 DR
// with its units; remembers the dr and the units.
ActivationOutcome rollActivation(ProgramState &program);

// After a modifier changed: the same verdict from the remembered dr, no dice.
ActivationOutcome reevaluateActivation(ProgramState &program);

// Units without an activation roll: the A1 DR only.
ActivationOutcome manualActivation(ProgramState &program);

// Which FRIENDLY units make a hidden unit of this nationality activate.
const char *activationConditionsText(int32_t nationality);

} // namespace treva
