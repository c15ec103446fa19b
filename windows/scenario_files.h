// Scenario files: the 144-byte record on disk, read whole and checked, and
// written atomically so that a failure never leaves a half-written scenario.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "state/scenario.h"
#include "windows/app.h"
#include "windows/history_file.h"

namespace treva {

// Reads and checks a scenario file. On failure `error` says why, naming the
// problem (the file is not touched, `out` is unchanged).
bool readScenarioFile(const std::string &path, ScenarioState &out, std::string &error);

// Writes the record through a temporary file in the same folder, flushed to
// disk and renamed over the old file. On failure the old file is untouched.
bool writeScenarioFile(const std::string &path, const ScenarioState &state, std::string &error);

// A whole file of ours (`what` names it in errors: "scenario file"), read
// when it is a regular file of at most `limit` bytes; a longer one is read to
// limit + 1 bytes, so that the caller can tell. Never blocks on a pipe or
// device.
bool readWholeFile(const std::string &path, const std::string &what, std::size_t limit, std::string &bytes,
                   std::string &error);
// Opens a regular file for reading (`what` names it in errors), never
// blocking on a pipe or device; nullptr with `error` when it cannot.
std::FILE *openFileForReading(const std::string &path, const std::string &what, std::string &error);

// Writes a whole file atomically, as a scenario file is written. A file
// that exists read-only is refused.
bool writeWholeFile(const std::string &path, const std::string &what, std::string_view bytes, std::string &error);

// A whole file written and flushed beside its place, not yet put in place:
// a save of two files writes both before either replaces the old one.
struct PreparedFile {
    std::string temporary, destination;
};
bool prepareWholeFile(const std::string &path, const std::string &what, std::string_view bytes, PreparedFile &out,
                      std::string &error);
// Puts the file in place (a rename); on failure the temporary file is gone.
bool commitWholeFile(PreparedFile &file, std::string &error);
void abandonWholeFile(PreparedFile &file);

// Why a path that exists cannot hold a file of ours (`what`: "scenario
// file"), or "" when it is a regular file or nothing.
std::string notAFileReason(const std::string &path, const std::string &what);
// A file that exists and is marked read-only.
bool isReadOnly(const std::string &path);

// A file name as the program keeps it (UTF-8) for the standard library's
// file system calls, the same on every system.
std::filesystem::path filePath(const std::string &utf8);

// The frame's file operations. Failures are shown to the player and change
// nothing.
bool loadScenarioFile(App &app, const std::string &path);
bool saveScenarioFile(App &app, const std::string &path);
void setFrameTitle(App &app, std::string_view path);
// "TREVA! (name)": the file name after the last folder separator, without its
// extension of four characters.
std::string frameTitleFor(std::string_view path);

// Whether the scenario (settings and statistics) differs from what was last
// opened or saved, and noting that it is now the same.
bool hasUnsavedChanges(const App &app);
void noteScenarioSaved(App &app);
// Before the scenario is given up (Exit, close, Open): with unsaved changes,
// asks whether to save them. True when the program may go on: saved, not
// wanted, or none; false when the player cancelled or the save failed.
bool settleUnsavedChanges(App &app);

void openCommand(App &app);
void saveCommand(App &app);
void saveAsCommand(App &app);

} // namespace treva
