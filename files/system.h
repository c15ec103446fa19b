// What the file code asks of the operating system, one source file a system
// (system_posix.cpp, system_win32.cpp): only this differs between them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "files/files.h"

namespace treva::os {

// The kind of what is at a path: nothing, a regular file, a folder, other.
enum class Kind { None, File, Folder, Other };
Kind kindOf(const std::string &path);
bool readOnly(const std::string &path);
// Opened without waiting, then checked to be a regular file; nullptr with
// errno, or with `notRegular` set.
std::FILE *openRegularForReading(const std::string &path, bool &notRegular);

// Writes `bytes` to a new temporary file beside `path` (beside the file a
// link points to), flushed to disk, with the mode the file has or a new one
// would get; false with errno.
bool writeTemporary(const std::string &path, std::string_view bytes, PreparedFile &out);
// Renames the temporary file over its destination; false with errno.
bool replace(const PreparedFile &file);

// File descriptors, for a file that grows at its end.
int openForUpdate(const std::string &path);
int openToRead(const std::string &path);
int createNew(const std::string &path); // fails when the file exists
int64_t lengthOf(int fd);
bool seekTo(int fd, uint64_t at);
bool truncateTo(int fd, uint64_t length);
bool syncToDisk(int fd);
long readSome(int fd, char *into, std::size_t size);
long writeSome(int fd, const char *from, std::size_t size);
void closeFile(int fd);

} // namespace treva::os
