// The roll history: every roll the program makes, with what it was for, its
// faces, whether the die statistics counted it, the scenario's date and
// attitude, and the local time. Fed by the dice roller (program_state.h),
// kept beside the scenario and saved in a text file beside its file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace treva {

enum class RollKind : uint8_t {
    OneDie,        // a dr: dice[0]
    TwoDice,       // a DR: dice[0] + dice[1]
    TwoSingleDice, // two dr thrown together, each counted (an action roll)
    Pick,          // a pick among labels (a hex row, a hex number): `pick`
    StatsCleared,  // not a roll: the die statistics were cleared here
};

struct RollEntry {
    char time[20] = {};  // local time, "YYYY-MM-DD HH:MM:SS"
    std::string purpose; // in the window's own words: "A1 DR", "Direction dr"
    RollKind kind = RollKind::OneDie;
    uint8_t dice[2] = {0, 0};
    bool counted = false; // went into the die statistics
    std::string pick;     // what a pick chose
    int32_t yearIndex = 0;
    int32_t month = 0;
    int32_t attitude = 0;

    bool operator==(const RollEntry &other) const;
};

struct RollHistory {
    std::vector<RollEntry> entries; // oldest first
    // Goes up with every change, so that a window or the frame can tell the
    // history has changed since it last looked.
    uint64_t version = 0;

    void add(RollEntry entry) {
        entries.push_back(std::move(entry));
        ++version;
    }
    void clear() {
        entries.clear();
        ++version;
    }
};

// The roll as a person reads it: "5", "4 + 3 = 7", "3, 5", "GG".
std::string rollText(const RollEntry &entry);
// "June 1944, Hold".
std::string scenarioDateText(const RollEntry &entry);
// One line of the Roll History window: time, purpose, roll and scenario in
// columns; "(not counted)" for dice the statistics left out.
std::string historyRow(const RollEntry &entry);

// How many dr and DR the entries counted into the statistics since the last
// time they were cleared.
struct CountedRolls {
    int64_t oneDie = 0;
    int64_t twoDice = 0;
};
CountedRolls countedSinceCleared(const RollHistory &history);

// The history file: a line "TREVA roll history 1", then one line a roll,
// oldest first, its fields separated by tabs: time, purpose, roll (as
// rollText, or "cleared"), "counted" or "not counted", date (YYYY-MM),
// attitude ("Hold" or "Advance").
std::string historyFileText(const RollHistory &history);

// The largest history file read; a scenario played for years stays far below.
inline constexpr std::size_t kHistoryFileLimit = 64u << 20;

// Reads a history file's text; false with `error` (in a player's words, with
// the line number) when it is not one.
bool parseHistoryFile(std::string_view text, RollHistory &out, std::string &error);

} // namespace treva
