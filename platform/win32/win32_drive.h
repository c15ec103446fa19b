// `treva --drive` on Windows: the drive on the real Win32 windows, on a
// desktop of its own that nobody sees. Each token reaches its control as a
// person's input does, and every value printed is read back from the
// controls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace treva {

// Runs `treva --drive ARGS...` (`args` are those after --drive, in UTF-8) as
// treva-cli runs `drive`; returns the exit status. Output and errors go to
// standard output and error as bytes, without carriage returns.
int runDesktopDrive(HINSTANCE instance, const std::vector<std::string> &args);

// `treva --drive-batch`: many drives, one after another, each on a fresh
// frame and windows, for the tests, where starting a program under Wine
// costs more than the drive. Standard input holds the sessions: each the
// count of its arguments, then the arguments (those after --drive), each
// ended by a NUL byte. Each is answered on standard output by a line
// "STATUS OUTLEN ERRLEN", then the bytes of its output and of its error.
int runDesktopDriveBatch(HINSTANCE instance);

} // namespace treva
