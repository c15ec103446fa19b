// The scenario record: everything the program remembers about the scenario
// being played. Its 144-byte little-endian encoding is the scenario file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "dice/dice.h"

namespace treva {

inline constexpr std::size_t kScenarioBytes = 144;
using ScenarioBytes = std::array<uint8_t, kScenarioBytes>;

// The ENEMY nationality, as saved: the index into nationalityNames.
enum Nationality : int32_t {
    kUnknown,
    kRussian,
    kGerman,
    kAmerican,
    kPartisanUssr,
    kPartisanFrance,
    kBritishEto,
    kBritishItaly,
};

// What the Actions window's manual die buttons resolve, as saved: the id of
// the marker beside that table's button in the window, or none before the
// window first opens.
enum ActionCategory : int32_t {
    kNoActionCategory = 0,
    kVehicleMovementCategory = 1079,
    kInfantryMovementCategory = 1080,
    kIftAttackCategory = 1081,
    kLatwCategory = 1082,
    kOrdnanceVsVehicleCategory = 1083,
    kOrdnanceVsInfantryCategory = 1084,
};

struct ScenarioState {
    int32_t formatTag;      // always 1 in records we make; carried unchanged
    int32_t mapOrientation; // 0 flat-topped hexes, non-zero pointed-topped
    int32_t yearIndex;      // year - 1935
    int32_t month;          // 1..12
    int32_t attitude;       // 0 Hold, 1 Advance
    int32_t reserved20;
    int32_t acNumber;    // 2..5
    int32_t nationality; // index into nationalityNames
    int32_t msr;         // -2..+2
    uint8_t manualDieRoll;
    uint8_t reserved37[3];
    int32_t actionCategory; // an ActionCategory
    int32_t a1Modifier;
    int32_t a5Modifier;
    int32_t fortificationEvenDr;
    uint8_t changed;
    uint8_t reserved57;
    uint8_t reserved58[2];
    DieRollStats stats;
};

// The in-memory layout mirrors the file layout; the encoding below does not
// rely on it, but keeping them equal keeps the two easy to compare.
static_assert(offsetof(ScenarioState, mapOrientation) == 4);
static_assert(offsetof(ScenarioState, yearIndex) == 8);
static_assert(offsetof(ScenarioState, month) == 12);
static_assert(offsetof(ScenarioState, attitude) == 16);
static_assert(offsetof(ScenarioState, reserved20) == 20);
static_assert(offsetof(ScenarioState, acNumber) == 24);
static_assert(offsetof(ScenarioState, nationality) == 28);
static_assert(offsetof(ScenarioState, msr) == 32);
static_assert(offsetof(ScenarioState, manualDieRoll) == 36);
static_assert(offsetof(ScenarioState, reserved37) == 37);
static_assert(offsetof(ScenarioState, actionCategory) == 40);
static_assert(offsetof(ScenarioState, a1Modifier) == 44);
static_assert(offsetof(ScenarioState, a5Modifier) == 48);
static_assert(offsetof(ScenarioState, fortificationEvenDr) == 52);
static_assert(offsetof(ScenarioState, changed) == 56);
static_assert(offsetof(ScenarioState, reserved57) == 57);
static_assert(offsetof(ScenarioState, reserved58) == 58);
static_assert(offsetof(ScenarioState, stats) == 60);
static_assert(offsetof(ScenarioState, stats) + offsetof(DieRollStats, oneDieCounts) == 104);
static_assert(offsetof(ScenarioState, stats) + offsetof(DieRollStats, twoDiceRolls) == 128);
static_assert(offsetof(ScenarioState, stats) + offsetof(DieRollStats, oneDieSum) == 140);
static_assert(sizeof(ScenarioState) == kScenarioBytes);

// Byte order independent of the host: little-endian, two's complement.
ScenarioBytes encodeScenario(const ScenarioState &state);

// Why a record was refused: the field and what is wrong with it.
struct ScenarioError {
    std::string field;
    std::string message; // e.g. "nationality is 9, expected 0..7"
};

// Reads a record from exactly 144 bytes. A record whose indexed fields lie
// outside their ranges is refused, so no table is ever read out of bounds,
// and so is one whose die statistics contradict themselves (a negative
// count, counts that do not add up to the rolls or their sum). On refusal `out` is left untouched and the error names
// the field.
bool decodeScenario(const uint8_t *bytes, std::size_t size, ScenarioState &out, ScenarioError &error);

// Text tables (code page 1252 texts).
extern const char *const nationalityNames[8];
extern const char *const monthNames[13];
extern const char *const yearNames[8];
extern const char *const msrNames[5];
const char *attitudeText(int32_t attitude);

// Ranges of the indexed fields, shared by decoding and the windows.
inline constexpr int32_t kFirstYearIndex = 4; // 1939
inline constexpr int32_t kLastYearIndex = 10; // 1945
inline constexpr int kNationalityCount = kBritishItaly + 1;

// "%s\r%s, %i\r%s\rMSR = %i": nationality, month and year, attitude, MSR.
std::string formatScenarioSummary(const ScenarioState &state);
// "%s (%i-%i)": nationality, month number, last two digits of the year.
std::string formatScenarioFileName(const ScenarioState &state);

// Raises the date to the earliest one allowed for the British nationalities.
void applyNationalityDateFloor(ScenarioState &state);

} // namespace treva
