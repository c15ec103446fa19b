// The JSON the drive and treva-cli print.
#pragma once

#include <string>
#include <string_view>

#include "drive/drive.h"
#include "state/scenario.h"

namespace treva {

// A JSON string literal of a code page 1252 text.
std::string jsonString(std::string_view cp1252);

std::string scenarioJson(const ScenarioState &scenario);
std::string statsJson(const DieRollStats &stats);
// {"window": id, "open": ..., "controls": {...}} without the closing brace,
// so that callers can add fields.
std::string windowJsonFields(const DriveTarget &target, WindowId window);

} // namespace treva
