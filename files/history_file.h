// The roll history's file beside a scenario file. It is a journal: a roll
// adds its row at the end, flushed to disk, before the scenario beside it
// counts the roll, so that no failure leaves a counted roll without its row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "state/roll_history.h"

namespace treva {

// "june.trv" keeps its history in "june.history.txt".
std::string historyPathFor(const std::string &scenarioPath);

// What a read of a history file found besides its rows.
struct HistoryFileRead {
    bool found = false;     // there was a file
    bool tornTail = false;  // its last line was cut short as it was written and is left out
    uint64_t fileBytes = 0; // its length
};

// Reads a history file of any length: a missing file is an empty history;
// false with `error` when the file cannot be read or is damaged (`out`
// unchanged).
bool readHistoryFile(const std::string &path, RollHistory &out, std::string &error, HistoryFileRead *read = nullptr);

// Whether the file starts as a roll history; false with `error` (in a
// player's words) when it does not or cannot be read.
bool isRollHistoryFile(const std::string &path, std::string &error);

// How adding rows changed a history file, so that the change can be taken
// back when the scenario beside it cannot be written.
struct HistoryChange {
    std::string path;
    bool created = false;  // a new file was made
    bool appended = false; // rows were added at the end of the old one
    uint64_t oldBytes = 0; // the old file's length
    uint64_t nextRow = 0;  // where the new rows began in it
    std::string setAside;  // its last line, cut short as it was written: left out
    std::string keptAs;    // a damaged or unreadable old file, kept under this name
    std::string damage;    // why it was kept
    uint64_t newBytes = 0; // the file's length now
};

// Adds `rows` (lines of historyRowsText) at the end of the history file,
// flushed to disk; a new file when there is none. A file that is no roll
// history, or cannot be read, is kept as "NAME.damaged" (or
// "NAME.damaged-2"...) and a new history begins. False with `error` when it
// cannot be done (a folder, a read-only file, a full disk); then nothing was
// changed.
bool appendHistory(const std::string &path, std::string_view rows, HistoryChange &change, std::string &error);
// Takes the change back: the file as it was before.
void undoHistoryChange(const HistoryChange &change);

// Renames a history that could not be read to the first free name of
// "NAME.damaged", "NAME.damaged-2"...; false with `error` when it cannot.
bool keepDamagedHistory(const std::string &path, std::string &keptAs, std::string &error);

// What a player should hear about a change: a damaged history found, kept
// and a new one begun, or a cut last line left out; "" when there is nothing
// to say.
std::string historyChangeNotice(const HistoryChange &change);

} // namespace treva
