#include "files/history_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "files/files.h"
#include "files/system.h"

namespace treva {
namespace {

using namespace os;

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const long n = writeSome(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

bool readAt(int fd, uint64_t at, std::size_t size, std::string &out) {
    out.assign(size, '\0');
    if (!seekTo(fd, at)) return false;
    for (std::size_t got = 0; got < size;) {
        const long n = readSome(fd, out.data() + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        got += std::size_t(n);
    }
    return true;
}

// Writes `bytes` at `at` (the file cut there first), flushed to disk.
bool writeAt(int fd, uint64_t at, std::string_view bytes) {
    return truncateTo(fd, at) && seekTo(fd, at) && writeAll(fd, bytes) && syncToDisk(fd);
}

std::string header() { return historyFileText(RollHistory{}); }

// A new history file with the rows; nothing is left when it fails.
bool createHistory(const std::string &path, std::string_view rows, HistoryChange &change, std::string &error) {
    const int fd = createNew(path);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const std::string text = header() + std::string(rows);
    const bool ok = writeAll(fd, text) && syncToDisk(fd);
    const int writeError = errno;
    closeFile(fd);
    if (!ok) {
        std::error_code ec;
        std::filesystem::remove(filePath(path), ec);
        error = std::strerror(writeError);
        return false;
    }
    change.created = true;
    change.newBytes = text.size();
    return true;
}

} // namespace

std::string historyPathFor(const std::string &scenarioPath) {
    std::string base = scenarioPath;
    const std::size_t slash = base.find_last_of("\\/");
    const std::size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) {
        std::string extension = base.substr(dot);
        for (char &c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".trv") base.resize(dot);
    }
    return base + ".history.txt";
}

bool readHistoryFile(const std::string &path, RollHistory &out, std::string &error, HistoryFileRead *read) {
    HistoryFileRead found;
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(filePath(path), ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        out.clear();
        if (read) *read = found;
        return true;
    }
    found.found = true;
    std::FILE *file = openFileForReading(path, "roll history", error);
    if (!file) return false;
    // Read in pieces: a history of any length is read without holding its text.
    HistoryParser parser;
    char buffer[1 << 16];
    std::size_t got;
    bool ok = true;
    while (ok && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        found.fileBytes += got;
        ok = parser.feed(std::string_view(buffer, got));
    }
    const bool failed = std::ferror(file);
    const int readError = errno;
    std::fclose(file);
    if (failed) {
        error = std::strerror(readError);
        return false;
    }
    if (!ok || !parser.finish()) {
        error = parser.error();
        return false;
    }
    found.tornTail = parser.tornTail();
    RollHistory &history = parser.history();
    history.version = out.version + 1;
    history.generation = out.generation + 1;
    out = std::move(history);
    if (read) *read = found;
    return true;
}

bool isRollHistoryFile(const std::string &path, std::string &error) {
    std::FILE *file = openFileForReading(path, "roll history", error);
    if (!file) return false;
    std::string head(kHistoryEndBytes, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    const HistoryEnd end = findHistoryEnd(head, head, head.size());
    if (end.damaged) error = end.error;
    return !end.damaged;
}

bool keepDamagedHistory(const std::string &path, std::string &keptAs, std::string &error) {
    std::error_code ec;
    for (int n = 1; n <= 99; ++n) {
        const std::string name = path + ".damaged" + (n == 1 ? std::string() : "-" + std::to_string(n));
        if (std::filesystem::symlink_status(filePath(name), ec).type() != std::filesystem::file_type::not_found)
            continue;
        std::filesystem::rename(filePath(path), filePath(name), ec);
        if (ec) {
            error = "it could not be renamed to \"" + name + "\": " + ec.message();
            return false;
        }
        keptAs = name;
        return true;
    }
    error = "there are too many damaged copies of it beside it";
    return false;
}

bool appendHistory(const std::string &path, std::string_view rows, HistoryChange &change, std::string &error) {
    change = {};
    change.path = path;
    std::error_code ec;
    if (std::filesystem::symlink_status(filePath(path), ec).type() == std::filesystem::file_type::not_found)
        return createHistory(path, rows, change, error);
    if (std::string why = notAFileReason(path, "roll history"); !why.empty()) {
        error = why;
        return false;
    }
    if (isReadOnly(path)) {
        error = "the file is read-only";
        return false;
    }
    // Only its first and last lines are read: a roll costs the same however
    // long the history is.
    HistoryEnd end;
    std::string tail;
    int fd = openForUpdate(path);
    if (fd < 0) {
        // A file that cannot even be read is set aside as a damaged one is;
        // one that can be read but not written is refused.
        const int updateError = errno;
        const int readable = openToRead(path);
        if (readable >= 0) {
            closeFile(readable);
            error = std::strerror(updateError);
            return false;
        }
        end.damaged = true;
        end.error = std::string("it cannot be read: ") + std::strerror(errno);
    } else {
        const int64_t length = lengthOf(fd);
        std::string head;
        const bool read = length >= 0 &&
                          readAt(fd, 0, std::size_t(std::min<int64_t>(length, kHistoryEndBytes)), head) &&
                          readAt(fd, uint64_t(length) - std::min<uint64_t>(uint64_t(length), kHistoryEndBytes),
                                 std::size_t(std::min<int64_t>(length, kHistoryEndBytes)), tail);
        if (!read) {
            end.damaged = true;
            end.error = std::string("it cannot be read: ") + std::strerror(errno);
        } else {
            end = findHistoryEnd(head, tail, uint64_t(length));
            change.oldBytes = uint64_t(length);
        }
    }
    if (end.damaged) {
        if (fd >= 0) closeFile(fd);
        if (!keepDamagedHistory(path, change.keptAs, error)) {
            error = "it is damaged (" + end.error + "), and " + error;
            return false;
        }
        change.damage = end.error;
        if (!createHistory(path, rows, change, error)) {
            std::filesystem::rename(filePath(change.keptAs), filePath(path), ec);
            change = {};
            return false;
        }
        return true;
    }
    change.nextRow = end.nextRow;
    change.setAside = tail.substr(tail.size() - std::size_t(change.oldBytes - end.nextRow));
    const std::string text = (end.needsLineEnd ? "\n" : "") + std::string(rows);
    const bool ok = writeAt(fd, end.nextRow, text);
    const int writeError = errno;
    if (!ok) writeAt(fd, end.nextRow, change.setAside); // as it was
    closeFile(fd);
    if (!ok) {
        error = std::strerror(writeError);
        change = {};
        return false;
    }
    change.appended = true;
    change.newBytes = end.nextRow + text.size();
    return true;
}

void undoHistoryChange(const HistoryChange &change) {
    std::error_code ec;
    if (change.created) {
        std::filesystem::remove(filePath(change.path), ec);
        if (!change.keptAs.empty()) std::filesystem::rename(filePath(change.keptAs), filePath(change.path), ec);
    } else if (change.appended) {
        const int fd = openForUpdate(change.path);
        if (fd < 0) return;
        writeAt(fd, change.nextRow, change.setAside);
        closeFile(fd);
    }
}

std::string historyChangeNotice(const HistoryChange &change) {
    if (!change.damage.empty())
        return "the roll history \"" + change.path + "\" was damaged (" + change.damage + "); it is kept as \"" +
               change.keptAs + "\" and a new history begins with these rolls";
    if (!change.setAside.empty())
        return "the last line of the roll history \"" + change.path +
               "\" was cut short as it was written (its roll was never counted) and is left out";
    return {};
}

} // namespace treva
