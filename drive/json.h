// Small JSON writer for treva-cli's output.
#pragma once

#include <string>
#include <string_view>

#include "platform/headless/headless_layer.h"
#include "state/scenario.h"

namespace treva {

// A JSON string literal of a code page 1252 text.
std::string jsonString(std::string_view cp1252);

std::string scenarioJson(const ScenarioState &scenario);
std::string statsJson(const DieRollStats &stats);
// {"window": id, "open": ..., "controls": {...}} without the closing brace,
// so that callers can add fields.
std::string windowJsonFields(const HeadlessLayer &ui, WindowId window);

} // namespace treva
