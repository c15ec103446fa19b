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
    // Goes up whenever rows are taken away or replaced, not when rows are
    // added: a file that holds the first rows of one generation can take the
    // rest at its end.
    uint64_t generation = 0;

    void add(RollEntry entry) {
        entries.push_back(std::move(entry));
        ++version;
    }
    void clear() {
        entries.clear();
        ++version;
        ++generation;
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

// The history file, a journal that only grows at its end: a line "TREVA roll
// history 1", then one line a roll, oldest first, its fields separated by
// tabs: time, purpose (UTF-8), roll (as rollText, "pick" and the label, or
// "cleared"), "counted" or "not counted", date (YYYY-MM), attitude ("Hold"
// or "Advance").
std::string historyFileText(const RollHistory &history);
// The lines of some rows, as they follow the others in the file.
std::string historyRowsText(const std::vector<RollEntry> &entries, std::size_t from = 0);

// The longest line a history file holds; a longer one is damage.
inline constexpr std::size_t kLongestHistoryLine = 512;

// Reads a history file's text in pieces of any size, so that a file of any
// length is read without holding all of it. A last line that has no line end
// and is no whole row was cut short as it was written: it is set aside, since
// the roll it began was never counted.
class HistoryParser {
public:
    // False (and the error set) once the text is not a roll history.
    bool feed(std::string_view piece);
    // After the last piece.
    bool finish();

    // In a player's words, with the line number: "line 7 is damaged".
    const std::string &error() const { return error_; }
    RollHistory &history() { return history_; }
    // The last line was cut short and left out.
    bool tornTail() const { return torn_; }

private:
    bool line(std::string_view text, bool ended);

    RollHistory history_;
    std::string pending_; // the start of a line not ended yet
    std::size_t lineNumber_ = 0;
    bool started_ = false; // the first bytes were seen (a byte-order mark is skipped)
    bool torn_ = false;
    bool failed_ = false;
    std::string error_;
};

// Reads a whole history file's text; false with `error` when it is not one.
// `torn`, when given, says whether a cut last line was set aside.
bool parseHistoryFile(std::string_view text, RollHistory &out, std::string &error, bool *torn = nullptr);

// One row of the file (without its line end); false when it is damaged.
bool parseHistoryRow(std::string_view line, RollEntry &entry);

// Where a history file takes its next row, judged from its first and last
// bytes alone, so that adding a roll costs the same however long the history
// is. `head` is the file's start, `tail` its end (each kHistoryEndBytes at
// most, or the whole file), `size` its length.
inline constexpr std::size_t kHistoryEndBytes = 4 * kLongestHistoryLine;
struct HistoryEnd {
    bool damaged = false;
    std::string error;         // why it is damaged, in a player's words
    uint64_t nextRow = 0;      // where the next row starts: the length, or where a cut last line began
    bool needsLineEnd = false; // the last row is whole but has no line end
};
HistoryEnd findHistoryEnd(std::string_view head, std::string_view tail, uint64_t size);

} // namespace treva
