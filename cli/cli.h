// treva-cli: the program's scenario, dice, tables and window procedures
// without a display, for terminals and scripts.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace treva {

// Runs one invocation; returns the exit status (0, or 2 for any error, which
// is then one line on `err`).
int runCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace treva
