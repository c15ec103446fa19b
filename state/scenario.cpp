#include "state/scenario.h"

#include <cstdio>
#include <cstring>

#include "state/program_state.h"

namespace treva {

const char *const nationalityNames[8] = {
    "vs. Unknown",
    "vs. Russian",
    "vs. Germans",
    "vs. Americans",
    "vs. Partisans (USSR)",
    "vs. Partisans (France)",
    "vs. British (ETO, D-Day+)",
    "vs. British (Italy)",
};

const char *const monthNames[13] = {
    "*",    "January", "February",  "March",   "April",    "May",      "June",
    "July", "August",  "September", "October", "November", "December",
};

const char *const yearNames[8] = {"1939", "1940", "1941", "1942", "1943", "1944", "1945", "1946"};

const char *const msrNames[5] = {"Minus 2", "Minus 1", "No MSR Modifier", "Plus 1", "Plus 2"};

const char *attitudeText(int32_t attitude) { return attitude == 0 ? "Hold Attitude" : "Advance Attitude"; }

namespace {

void put32(uint8_t *at, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
    at[2] = static_cast<uint8_t>(v >> 16);
    at[3] = static_cast<uint8_t>(v >> 24);
}

int32_t get32(const uint8_t *at) {
    uint32_t v = uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
    return static_cast<int32_t>(v);
}

// The int32 fields of the record with their offsets, in file order.
template <typename Record, typename Visit> void forEachWord(Record &s, Visit visit) {
    visit(0, s.formatTag);
    visit(4, s.mapOrientation);
    visit(8, s.yearIndex);
    visit(12, s.month);
    visit(16, s.attitude);
    visit(20, s.reserved20);
    visit(24, s.acNumber);
    visit(28, s.nationality);
    visit(32, s.msr);
    visit(40, s.actionCategory);
    visit(44, s.a1Modifier);
    visit(48, s.a5Modifier);
    visit(52, s.fortificationEvenDr);
    for (int i = 0; i < 11; ++i) visit(60 + 4 * i, s.stats.twoDiceCounts[i]);
    for (int i = 0; i < 6; ++i) visit(104 + 4 * i, s.stats.oneDieCounts[i]);
    visit(128, s.stats.twoDiceRolls);
    visit(132, s.stats.oneDieRolls);
    visit(136, s.stats.twoDiceSum);
    visit(140, s.stats.oneDieSum);
}

template <typename Record, typename Visit> void forEachByte(Record &s, Visit visit) {
    visit(36, s.manualDieRoll);
    for (int i = 0; i < 3; ++i) visit(37 + i, s.reserved37[i]);
    visit(56, s.changed);
    visit(57, s.reserved57);
    for (int i = 0; i < 2; ++i) visit(58 + i, s.reserved58[i]);
}

bool inRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// The die statistics agree with themselves: no count is negative, and the
// counts of the results add up to the number of rolls and to their sum, as
// the dice roller keeps them. Every reader of the counts may rely on it.
bool checkStats(const DieRollStats &stats, ScenarioError &error) {
    struct Kind {
        const char *name, *prefix;
        const int32_t *counts;
        int faces, first;
        int32_t rolls, sum;
    };
    const Kind kinds[] = {{"DR", "twoDice", stats.twoDiceCounts, 11, 2, stats.twoDiceRolls, stats.twoDiceSum},
                          {"dr", "oneDie", stats.oneDieCounts, 6, 1, stats.oneDieRolls, stats.oneDieSum}};
    char text[200];
    for (const Kind &k : kinds) {
        int64_t rolls = 0, sum = 0;
        for (int i = 0; i < k.faces; ++i) {
            if (k.counts[i] < 0) {
                std::snprintf(text, sizeof text, "the count of %s %d rolls is %ld; a count is never below 0", k.name,
                              k.first + i, long(k.counts[i]));
                error = {std::string(k.prefix) + "Counts", text};
                return false;
            }
            rolls += k.counts[i];
            sum += int64_t(k.counts[i]) * (k.first + i);
        }
        if (rolls != k.rolls) {
            std::snprintf(text, sizeof text, "the number of %s rolls is %ld, but the counts of each %s add up to %lld",
                          k.name, long(k.rolls), k.name, static_cast<long long>(rolls));
            error = {std::string(k.prefix) + "Rolls", text};
            return false;
        }
        if (sum != k.sum) {
            std::snprintf(text, sizeof text, "the sum of the %s rolls is %ld, but their counts give %lld", k.name,
                          long(k.sum), static_cast<long long>(sum));
            error = {std::string(k.prefix) + "Sum", text};
            return false;
        }
    }
    return true;
}

} // namespace

ScenarioBytes encodeScenario(const ScenarioState &state) {
    ScenarioBytes bytes{};
    forEachWord(state, [&](int offset, int32_t value) { put32(&bytes[offset], value); });
    forEachByte(state, [&](int offset, uint8_t value) { bytes[offset] = value; });
    return bytes;
}

bool decodeScenario(const uint8_t *bytes, std::size_t size, ScenarioState &out, ScenarioError &error) {
    if (size != kScenarioBytes) {
        char text[96];
        std::snprintf(text, sizeof text, "a scenario is %zu bytes, this one is %zu", kScenarioBytes, size);
        error = {"size", text};
        return false;
    }
    ScenarioState s{};
    forEachWord(s, [&](int offset, int32_t &value) { value = get32(bytes + offset); });
    forEachByte(s, [&](int offset, uint8_t &value) { value = bytes[offset]; });

    // Each field by the name the player knows it by, with its value as the
    // windows show it (the year, not its index).
    struct Check {
        const char *field, *name;
        int32_t value, low, high;
        int32_t shownOffset;
        const char *choices; // the allowed values in words, where a range says less
    };
    const Check checks[] = {
        {"yearIndex", "year", s.yearIndex, kFirstYearIndex, kLastYearIndex, 1935, nullptr},
        {"month", "month", s.month, 1, 12, 0, nullptr},
        {"attitude", "attitude", s.attitude, 0, 1, 0, "0 (Hold) or 1 (Advance)"},
        {"acNumber", "AC#", s.acNumber, 2, 5, 0, nullptr},
        {"nationality", "ENEMY nationality", s.nationality, 0, kNationalityCount - 1, 0, nullptr},
        {"msr", "MSR", s.msr, -2, 2, 0, nullptr},
        {"manualDieRoll", "manual die roll setting", s.manualDieRoll, 0, 1, 0, "0 (off) or 1 (on)"},
        {"fortificationEvenDr", "fortification setting", s.fortificationEvenDr, 0, 1, 0, "0 (off) or 1 (on)"},
    };
    char text[160];
    for (const Check &c : checks) {
        if (!inRange(c.value, c.low, c.high)) {
            const long shown = long(c.value) + c.shownOffset;
            if (c.choices)
                std::snprintf(text, sizeof text, "the %s is %ld; a scenario's %s is %s", c.name, shown, c.name,
                              c.choices);
            else
                std::snprintf(text, sizeof text, "the %s is %ld; a scenario's %s is %ld to %ld", c.name, shown, c.name,
                              long(c.low) + c.shownOffset, long(c.high) + c.shownOffset);
            error = {c.field, text};
            return false;
        }
    }
    // None until the Actions window first opens, else one of its six tables.
    if (s.actionCategory != kNoActionCategory &&
        !inRange(s.actionCategory, kVehicleMovementCategory, kOrdnanceVsInfantryCategory)) {
        std::snprintf(text, sizeof text,
                      "the Actions table is %ld; a scenario's Actions table is %d (none) or %d to %d",
                      long(s.actionCategory), kNoActionCategory, kVehicleMovementCategory, kOrdnanceVsInfantryCategory);
        error = {"actionCategory", text};
        return false;
    }
    if (!checkStats(s.stats, error)) return false;
    out = s;
    return true;
}

std::string formatScenarioSummary(const ScenarioState &s) {
    char text[260];
    std::snprintf(text, sizeof text, "%s\r%s, %i\r%s\rMSR = %i", nationalityNames[s.nationality], monthNames[s.month],
                  1935 + s.yearIndex, attitudeText(s.attitude), s.msr);
    return text;
}

std::string formatScenarioFileName(const ScenarioState &s) {
    char text[260];
    std::snprintf(text, sizeof text, "%s (%i-%i)", nationalityNames[s.nationality], s.month, s.yearIndex + 35);
    return text;
}

void applyNationalityDateFloor(ScenarioState &s) {
    int32_t floorYear;
    if (s.nationality == kBritishEto) {
        floorYear = 9; // June 1944
    } else if (s.nationality == kBritishItaly) {
        floorYear = 8; // June 1943
    } else {
        return;
    }
    if (s.yearIndex < floorYear || (s.yearIndex == floorYear && s.month < 6)) {
        s.yearIndex = floorYear;
        s.month = 6;
    }
}

void resetScenario(ProgramState &program, uint32_t seed) {
    program.modifiers = {};
    seedGenerator(program.generator, seed);
    clearStats(program.scenario.stats);
    program.history.clear();
    ScenarioState &s = program.scenario;
    s.mapOrientation = 0;
    s.acNumber = 3;
    s.attitude = 0;
    s.yearIndex = 4;
    s.month = 1;
    s.nationality = kRussian;
    s.msr = 0;
    s.manualDieRoll = 0;
    s.a1Modifier = 0;
    s.a5Modifier = 0;
    s.fortificationEvenDr = 0;
    s.formatTag = 1;
    s.changed = 0;
    s.reserved57 = 0;
    program.snapshot = s;
}

void noteScenarioChange(ProgramState &program) {
    if (encodeScenario(program.scenario) != encodeScenario(program.snapshot)) {
        program.scenario.changed = 1;
        program.snapshot = program.scenario;
    }
}

void adoptLoadedScenario(ProgramState &program, const ScenarioState &loaded) {
    program.scenario = loaded;
    program.scenario.changed = 0;
    program.snapshot = program.scenario;
}

} // namespace treva
