// `treva --drive`: the drive on the real windows, shown offscreen. Each token
// reaches its Qt widget as a person's input does, and every value printed is
// read back from the widgets.
#pragma once

#include <string>
#include <vector>

namespace treva {

// Runs `treva --drive ARGS...` (`args` are those after --drive) as treva-cli
// runs `drive`; returns the exit status. Starts Qt itself.
int runDesktopDrive(const char *program, const std::vector<std::string> &args);

// `treva --drive-batch`: many drives read from standard input, one after
// another, each on a fresh frame and windows (see runDriveBatch).
int runDesktopDriveBatch(const char *program);

} // namespace treva
