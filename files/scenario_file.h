// The scenario file: exactly the 144 bytes of the scenario record.
#pragma once

#include <string>

#include "state/scenario.h"

namespace treva {

// Reads and checks a scenario file. On failure `error` says why, naming the
// problem (the file is not touched, `out` is unchanged).
bool readScenarioFile(const std::string &path, ScenarioState &out, std::string &error);

// Writes the record atomically. On failure the old file is untouched.
bool writeScenarioFile(const std::string &path, const ScenarioState &state, std::string &error);
// The record's bytes as a file holds them.
std::string scenarioFileBytes(const ScenarioState &state);

} // namespace treva
