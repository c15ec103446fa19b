// Where the player's guide is, for a program at a given path: beside the
// installed program, or in the build folder the program was built in. The
// desktop programs and treva-cli share it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace treva {

// The guide the build makes, in the build folder this program was built in.
std::filesystem::path builtGuide();

// The places the guide of the program at `program` may be, best first, as
// UTF-8 paths: the installed layouts (<prefix>/bin/treva with
// <prefix>/share/doc/treva/guide/index.html, and treva.exe with
// guide\index.html beside it), then `built`, for a program run from its
// build folder.
std::vector<std::string> guidePlaces(const std::filesystem::path &program,
                                     const std::filesystem::path &built = builtGuide());

// The running program's own file, as the system knows it (/proc/self/exe,
// GetModuleFileNameW); `invokedAs` (argv[0]) where the system does not say.
std::filesystem::path runningProgram(const std::filesystem::path &invokedAs);

} // namespace treva
