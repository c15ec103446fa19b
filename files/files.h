// The program's own files on disk, the same on every system: read whole and
// checked, written atomically so that a failure never leaves half a file.
// File names are UTF-8 everywhere in the program.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace treva {

// A file name as the program keeps it (UTF-8) for the standard library's
// file system calls, the same on every system.
std::filesystem::path filePath(const std::string &utf8);

// Why a path that exists cannot hold a file of ours (`what`: "scenario
// file"), or "" when it is a regular file or nothing.
std::string notAFileReason(const std::string &path, const std::string &what);
// A file that exists and is marked read-only.
bool isReadOnly(const std::string &path);

// Opens a regular file for reading (`what` names it in errors), never
// blocking on a pipe or device; nullptr with `error` when it cannot.
std::FILE *openFileForReading(const std::string &path, const std::string &what, std::string &error);

// A whole file of ours, read when it is a regular file of at most `limit`
// bytes; a longer one is read to limit + 1 bytes, so that the caller can tell.
bool readWholeFile(const std::string &path, const std::string &what, std::size_t limit, std::string &bytes,
                   std::string &error);

// Writes a whole file atomically: through a temporary file in the same
// folder, flushed to disk and renamed over the old file. A file that exists
// read-only is refused. On failure the old file is untouched.
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

} // namespace treva
