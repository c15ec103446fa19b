#include "files/scenario_file.h"

#include "files/files.h"

namespace treva {

bool readScenarioFile(const std::string &path, ScenarioState &out, std::string &error) {
    std::string bytes;
    if (!readWholeFile(path, "scenario file", kScenarioBytes, bytes, error)) return false;
    ScenarioError decodeError;
    if (!decodeScenario(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), out, decodeError)) {
        error = bytes.size() != kScenarioBytes ? "not a scenario file: " + decodeError.message
                                               : "damaged scenario: " + decodeError.message;
        return false;
    }
    return true;
}

std::string scenarioFileBytes(const ScenarioState &state) {
    const ScenarioBytes bytes = encodeScenario(state);
    return std::string(reinterpret_cast<const char *>(bytes.data()), bytes.size());
}

bool writeScenarioFile(const std::string &path, const ScenarioState &state, std::string &error) {
    return writeWholeFile(path, "scenario file", scenarioFileBytes(state), error);
}

} // namespace treva
