// The frame's scenario file commands: Open, Save and Save As, the caption,
// and whether there are changes to save.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "files/files.h"
#include "files/history_file.h"
#include "files/scenario_file.h"
#include "state/scenario.h"
#include "ui/app.h"

namespace treva {

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
