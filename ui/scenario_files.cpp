#include "ui/scenario_files.h"

#include <cctype>
#include <filesystem>

#include "files/files.h"
#include "files/history_file.h"
#include "files/scenario_file.h"
#include "resources/menu.h"
#include "ui/frame.h"

namespace treva {

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
    PreparedFile scenario;
    if (!prepareWholeFile(path, "scenario file", scenarioFileBytes(app.state.scenario), scenario, error)) {
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

namespace {

bool hasScenarioSuffix(std::string_view name) {
    if (name.size() < 4) return false;
    std::string suffix(name.substr(name.size() - 4));
    for (char &c : suffix) c = char(std::tolower(static_cast<unsigned char>(c)));
    return suffix == ".trv";
}

std::string_view fileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string frameTitleFor(std::string_view path) {
    // The name without ".trv"; any other ending is part of the name.
    std::string_view name = fileName(path);
    if (hasScenarioSuffix(name)) name.remove_suffix(4);
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
        // starts as the scenario on the table, under a name that ends in
        // ".trv" as every scenario file's does, unless the player gave it
        // another ending.
        std::string created = *path;
        if (fileName(created).find('.') == std::string_view::npos) created += ".trv";
        if (saveScenarioFile(app, created)) app.frame.currentFilePath = created;
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
