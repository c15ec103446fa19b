// The drive on the page's real controls (web/drive): the page asks the
// browser's driver for each input, as a person would give it.
#pragma once

#include <string>
#include <vector>

namespace treva {

// Runs one drive with treva-cli's arguments and hands its output, error and
// exit status to the page.
int runWebDrive(const std::vector<std::string> &args);

} // namespace treva
