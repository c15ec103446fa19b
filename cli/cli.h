// treva-cli: the program's scenario, dice, tables and window procedures
// without a display, for terminals and scripts.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace treva {

// Runs one invocation; returns the exit status (0, or 2 for any error, which
// is then one line on `err`). `guide` is where the player's guide is (UTF-8),
// which --help names; nothing when it is not installed.
int runCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
           const std::optional<std::string> &guide = std::nullopt);

} // namespace treva
