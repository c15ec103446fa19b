#include "windows/scenario_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "resources/menu.h"
#include "windows/frame.h"

namespace treva {
namespace {

std::string reason(int error) { return std::strerror(error); }

#ifdef _WIN32
// File names are UTF-8 in the program and UTF-16 in Windows' own calls, so
// that any name works whatever the system's code page.
std::wstring widen(const std::string &path) {
    if (path.empty()) return {};
    std::wstring wide(path.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}
#endif

#ifndef _WIN32
// The mode a new file would get, or the mode of the file being replaced.
mode_t modeFor(const std::string &path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    // Whatever the mask, the owner can read and write what the program
    // saves (some systems start programs with every permission masked off).
    return (0666 & ~mask) | 0600;
}
#endif

} // namespace

// Why a path that exists cannot hold a file of ours (`what`: "scenario
// file"), or "" when it is a regular file.
std::string notAFileReason(const std::string &path, const std::string &what) {
#ifdef _WIN32
    struct _stat64 st;
    if (::_wstat64(widen(path).c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
#else
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
#endif
    return S_ISDIR(st.st_mode) ? "it is a folder, not a " + what : "it is a device or pipe, not a " + what;
}

bool isReadOnly(const std::string &path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
#else
    // By the file's mode, as on Windows: the program may run with the rights
    // to write any file, yet a file its owner made read-only stays so.
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
#endif
}

std::FILE *openFileForReading(const std::string &path, const std::string &what, std::string &error) {
#ifdef _WIN32
    if (std::string why = notAFileReason(path, what); !why.empty()) {
        error = why;
        return nullptr;
    }
    std::FILE *file = ::_wfopen(widen(path).c_str(), L"rb");
#else
    // Opened without waiting, then checked, so that a pipe or a device never
    // blocks the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        error = notAFileReason(path, what);
        if (error.empty()) error = "it is not a " + what;
        return nullptr;
    }
    std::FILE *file = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (fd >= 0 && !file) ::close(fd);
#endif
    if (!file) error = reason(errno);
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
        error = reason(readError);
        return false;
    }
    return true;
}

bool readScenarioFile(const std::string &path, ScenarioState &out, std::string &error) {
    std::string bytes;
    if (!readWholeFile(path, "scenario file", kScenarioBytes, bytes, error)) return false;
    ScenarioError decodeError;
    if (!decodeScenario(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), out, decodeError)) {
        error = bytes.size() != kScenarioBytes ? "not a scenario file: " + decodeError.message
                                               : "damaged scenario: " + decodeError.message;
        return false;
    }
    return true;
}

bool writeScenarioFile(const std::string &path, const ScenarioState &state, std::string &error) {
    const ScenarioBytes bytes = encodeScenario(state);
    return writeWholeFile(path, "scenario file",
                          std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()), error);
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
#ifdef _WIN32
    const std::string temporary = path + ".saving";
    std::FILE *file = ::_wfopen(widen(temporary).c_str(), L"wb");
    if (!file) {
        error = reason(errno);
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0 &&
              _commit(_fileno(file)) == 0;
    int writeError = errno;
    if (std::fclose(file) != 0 && ok) ok = false, writeError = errno;
    if (!ok) {
        ::_wremove(widen(temporary).c_str());
        error = reason(writeError);
        return false;
    }
    out = {temporary, path};
    return true;
#else
    // Beside the real file, so that a link to it stays a link.
    std::error_code ec;
    const std::string real =
        std::filesystem::is_symlink(path, ec) ? std::filesystem::canonical(path, ec).string() : path;
    const std::string &destination = ec || real.empty() ? path : real;
    std::string temporary = destination + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = reason(errno);
        return false;
    }
    bool ok = true;
    int writeError = 0;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false, writeError = n < 0 ? errno : EIO;
        else
            written += std::size_t(n);
    }
    if (ok && ::fchmod(fd, modeFor(destination)) != 0) ok = false, writeError = errno;
    if (ok && ::fsync(fd) != 0) ok = false, writeError = errno;
    if (::close(fd) != 0 && ok) ok = false, writeError = errno;
    if (!ok) {
        ::unlink(temporary.c_str());
        error = reason(writeError);
        return false;
    }
    out = {temporary, destination};
    return true;
#endif
}

bool commitWholeFile(PreparedFile &file, std::string &error) {
#ifdef _WIN32
    const bool ok = MoveFileExW(widen(file.temporary).c_str(), widen(file.destination).c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    const int writeError = EACCES;
#else
    const bool ok = std::rename(file.temporary.c_str(), file.destination.c_str()) == 0;
    const int writeError = errno;
#endif
    if (!ok) {
        abandonWholeFile(file);
        error = reason(writeError);
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

std::filesystem::path filePath(const std::string &utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

namespace {

// Reads the history beside a scenario just opened. One that cannot be read
// is told and left as it is on disk; the scenario opens with an empty
// history, and the next save keeps the old file under another name.
void loadHistoryBeside(App &app, const std::string &scenarioPath) {
    const std::string path = historyPathFor(scenarioPath);
    std::string error;
    HistoryFileRead read;
    app.frame.historyFile = {};
    app.frame.historyUnreadable = !readHistoryFile(path, app.state.history, error, &read);
    if (app.frame.historyUnreadable) {
        app.state.history.clear();
        app.ui.showError("Open", "Could not read the roll history \"" + path + "\": " + error +
                                     ". The scenario opens with an empty history; the next Save keeps the old file as "
                                     "\"" +
                                     path + ".damaged\".");
        return;
    }
    if (read.tornTail)
        app.ui.showError("Open", "The last line of the roll history \"" + path +
                                     "\" was cut short as it was written; its roll was never counted, and it is "
                                     "left out.");
    // A cut line is written over at the next save.
    else if (read.found)
        app.frame.historyFile = {path, app.state.history.entries.size(), app.state.history.generation, read.fileBytes};
}

// Puts the history beside a scenario being saved, before the scenario: rows
// added since the last open or save go at the end of the file, else the whole
// history is written anew. An empty history with no file yet writes nothing.
// `change` says what to take back should the scenario fail.
bool saveHistoryBeside(App &app, const std::string &scenarioPath, HistoryChange &change, std::string &error) {
    const std::string path = historyPathFor(scenarioPath);
    const RollHistory &history = app.state.history;
    std::error_code ec;
    bool exists = std::filesystem::symlink_status(filePath(path), ec).type() != std::filesystem::file_type::not_found;
    if (!exists && history.entries.empty()) return true;
    if (exists && app.frame.historyUnreadable && scenarioPath == app.frame.currentFilePath) {
        // The history that could not be read is kept, not written over.
        if (!keepDamagedHistory(path, change.keptAs, error)) {
            error = "it could not be read when the scenario was opened, and " + error;
            return false;
        }
        change.path = path;
        exists = false;
    }
    const auto &mark = app.frame.historyFile;
    const bool appendable = exists && mark.path == path && mark.generation == history.generation &&
                            mark.rows <= history.entries.size() &&
                            std::filesystem::file_size(filePath(path), ec) == mark.bytes && !ec;
    if (appendable) {
        if (mark.rows == history.entries.size()) return true;
        const std::string keptAs = change.keptAs;
        if (!appendHistory(path, historyRowsText(history.entries, mark.rows), change, error)) return false;
        if (change.keptAs.empty()) change.keptAs = keptAs;
        return true;
    }
    PreparedFile file;
    const std::string text = historyFileText(history);
    if (!prepareWholeFile(path, "roll history", text, file, error) || !commitWholeFile(file, error)) {
        if (!change.keptAs.empty()) std::filesystem::rename(filePath(change.keptAs), filePath(path), ec);
        change = {};
        return false;
    }
    change.newBytes = text.size();
    return true;
}

} // namespace

bool loadScenarioFile(App &app, const std::string &path) {
    ScenarioState loaded{};
    std::string error;
    if (!readScenarioFile(path, loaded, error)) {
        app.ui.showError("Open", "Could not open \"" + path + "\": " + error + ".");
        return false;
    }
    adoptLoadedScenario(app.state, loaded);
    loadHistoryBeside(app, path);
    noteScenarioSaved(app);
    refreshToolWindows(app);
    setMenuItemState(app, kCmdSave, false);
    setMenuItemState(app, kCmdSaveAs, true);
    return true;
}

bool saveScenarioFile(App &app, const std::string &path) {
    // The scenario and its history are one record for the player: the
    // scenario is written beside its place first, then the history is
    // brought up to date, then the scenario put in place. Whatever fails,
    // both files stay as they were and the changes stay unsaved.
    std::string error;
    const ScenarioBytes bytes = encodeScenario(app.state.scenario);
    PreparedFile scenario;
    if (!prepareWholeFile(path, "scenario file",
                          std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()), scenario,
                          error)) {
        app.ui.showError("Save", "Could not save \"" + path + "\": " + error + ". Nothing was written.");
        return false;
    }
    HistoryChange change;
    if (!saveHistoryBeside(app, path, change, error)) {
        abandonWholeFile(scenario);
        app.ui.showError("Save", "Could not save \"" + path + "\": its roll history \"" + historyPathFor(path) +
                                     "\" could not be written: " + error + ". Nothing was written.");
        return false;
    }
    if (!commitWholeFile(scenario, error)) {
        undoHistoryChange(change);
        app.ui.showError("Save", "Could not save \"" + path + "\": " + error + ". Nothing was written.");
        return false;
    }
    if (const std::string notice = historyChangeNotice(change); !notice.empty())
        app.ui.showError("Save", "Saved \"" + path + "\"; " + notice + ".");
    app.state.scenario.changed = 0; // the file keeps the value from before
    app.frame.historyUnreadable = false;
    if (change.newBytes > 0)
        app.frame.historyFile = {historyPathFor(path), app.state.history.entries.size(), app.state.history.generation,
                                 change.newBytes};
    noteScenarioSaved(app);
    setMenuItemState(app, kCmdSave, false);
    setMenuItemState(app, kCmdSaveAs, true);
    setFrameTitle(app, path);
    return true;
}

std::string frameTitleFor(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() >= 4) name.remove_suffix(4);
    return "TREVA! (" + std::string(name) + ")";
}

void setFrameTitle(App &app, std::string_view path) {
    const std::string caption = frameTitleFor(path);
    app.frame.shownName = caption.substr(8, caption.size() - 9); // between "TREVA! (" and ")"
    app.ui.setFrameCaption(caption);
}

namespace {

// The record as a file would hold it, apart from what is no setting or
// statistic of the player's: the changed flag, which loading and saving
// clear, and the Actions window's current table, which opening the window
// resets.
ScenarioBytes comparable(const ScenarioState &state) {
    ScenarioState copy = state;
    copy.changed = 0;
    copy.actionCategory = kNoActionCategory;
    return encodeScenario(copy);
}

} // namespace

bool hasUnsavedChanges(const App &app) {
    return comparable(app.state.scenario) != app.frame.savedRecord ||
           app.state.history.version != app.frame.savedHistoryVersion;
}

void noteScenarioSaved(App &app) {
    app.frame.savedRecord = comparable(app.state.scenario);
    app.frame.savedHistoryVersion = app.state.history.version;
}

bool settleUnsavedChanges(App &app) {
    if (!hasUnsavedChanges(app)) return true;
    const std::string name = app.frame.shownName.empty() ? std::string("Untitled") : app.frame.shownName;
    switch (app.ui.askSaveChanges(name)) {
    case WindowLayer::SaveAnswer::Save:
        saveCommand(app);
        return !hasUnsavedChanges(app); // a cancelled or failed save keeps everything
    case WindowLayer::SaveAnswer::DontSave: return true;
    case WindowLayer::SaveAnswer::Cancel: break;
    }
    return false;
}

void openCommand(App &app) {
    const std::optional<std::string> path = app.ui.askOpenPath(app.frame.currentFilePath);
    if (!path) return;
    std::error_code ec;
    if (!std::filesystem::exists(filePath(*path), ec) && !ec) {
        // The player agreed to create the file the dialog did not find: it
        // starts as the scenario on the table.
        if (saveScenarioFile(app, *path)) app.frame.currentFilePath = *path;
        return;
    }
    if (!loadScenarioFile(app, *path)) return;
    app.frame.currentFilePath = *path;
    setFrameTitle(app, *path);
    setMenuItemState(app, kCmdSave, false);
}

void saveCommand(App &app) {
    if (!app.frame.currentFilePath.empty()) {
        saveScenarioFile(app, app.frame.currentFilePath);
        return;
    }
    saveAsCommand(app);
    setMenuItemState(app, kCmdSave, false);
    setMenuItemState(app, kCmdSaveAs, true);
}

void saveAsCommand(App &app) {
    const std::optional<std::string> path = app.ui.askSavePath(formatScenarioFileName(app.state.scenario));
    // Cancelled or failed, the current file stays what it was, so that a
    // later Save never writes a stray file.
    if (path && saveScenarioFile(app, *path)) app.frame.currentFilePath = *path;
}

} // namespace treva
