#include "files/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "files/system.h"

namespace treva {

std::filesystem::path filePath(const std::string &utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string notAFileReason(const std::string &path, const std::string &what) {
    switch (os::kindOf(path)) {
    case os::Kind::Folder: return "it is a folder, not a " + what;
    case os::Kind::Other: return "it is a device or pipe, not a " + what;
    default: return {};
    }
}

bool isReadOnly(const std::string &path) { return os::readOnly(path); }

std::FILE *openFileForReading(const std::string &path, const std::string &what, std::string &error) {
    bool notRegular = false;
    std::FILE *file = os::openRegularForReading(path, notRegular);
    if (notRegular) {
        error = notAFileReason(path, what);
        if (error.empty()) error = "it is not a " + what;
    } else if (!file) {
        error = std::strerror(errno);
    }
    return file;
}

bool readWholeFile(const std::string &path, const std::string &what, std::size_t limit, std::string &bytes,
                   std::string &error) {
    std::FILE *file = openFileForReading(path, what, error);
    if (!file) return false;
    // One byte more than the limit, to tell a longer file from one that fits.
    bytes.clear();
    char buffer[1 << 16];
    bool failed = false;
    while (bytes.size() <= limit) {
        const std::size_t want = std::min(sizeof buffer, limit + 1 - bytes.size());
        const std::size_t got = std::fread(buffer, 1, want, file);
        bytes.append(buffer, got);
        if (got < want) {
            failed = std::ferror(file);
            break;
        }
    }
    const int readError = errno;
    std::fclose(file);
    if (failed) {
        error = std::strerror(readError);
        return false;
    }
    return true;
}

bool writeWholeFile(const std::string &path, const std::string &what, std::string_view bytes, std::string &error) {
    PreparedFile file;
    return prepareWholeFile(path, what, bytes, file, error) && commitWholeFile(file, error);
}

bool prepareWholeFile(const std::string &path, const std::string &what, std::string_view bytes, PreparedFile &out,
                      std::string &error) {
    if (std::string why = notAFileReason(path, what); !why.empty()) {
        error = why;
        return false;
    }
    // A read-only file is not replaced; the reason is told before anything
    // is written.
    if (isReadOnly(path)) {
        error = "the file is read-only";
        return false;
    }
    if (!os::writeTemporary(path, bytes, out)) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool commitWholeFile(PreparedFile &file, std::string &error) {
    if (!os::replace(file)) {
        error = std::strerror(errno);
        abandonWholeFile(file);
        return false;
    }
    file = {};
    return true;
}

void abandonWholeFile(PreparedFile &file) {
    if (file.temporary.empty()) return;
    std::error_code ec;
    std::filesystem::remove(filePath(file.temporary), ec);
    file = {};
}

} // namespace treva
