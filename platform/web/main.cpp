// TREVA in a web page: the frame and its windows in the page's document, the
// scenario kept in the browser's storage after every change.
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/web/web_layer.h"
#include "resources/menu.h"
#include "state/roll_history.h"
#include "ui/app.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

extern "C" {
void web_syncFile(const char *path);
// True when the browser kept it all; else it kept nothing new of the scenario.
int web_keep(const uint8_t *record, const uint8_t *saved, const char *name, const char *history);
}

namespace treva {
namespace {

// The running page: its windows and program, and what was last kept.
struct WebProgram {
    PageSettingsStore settings; // where the player keeps the tool windows
    std::unique_ptr<WebLayer> layer;
    std::unique_ptr<App> app;
    ScenarioBytes keptRecord{};
    ScenarioBytes keptSaved{};
    std::string keptPath;
    uint64_t keptHistory = ~uint64_t(0);
};
WebProgram program;

// One of the files the page left from the last visit (nothing when it left none).
std::optional<std::string> keptFile(const std::string &path) {
    std::string bytes, error;
    if (!readWholeFile(path, "kept scenario", 1 << 16, bytes, error)) return std::nullopt;
    return bytes;
}

// After every event: a file the program wrote goes back to the player's
// file (or is handed over as a download), and a changed scenario is kept.
void afterEvent() {
    App &app = *program.app;
    if (!app.frame.currentFilePath.empty()) web_syncFile(app.frame.currentFilePath.c_str());
    const ScenarioBytes record = encodeScenario(app.state.scenario);
    if (record == program.keptRecord && app.frame.savedRecord == program.keptSaved &&
        app.frame.currentFilePath == program.keptPath && app.state.history.version == program.keptHistory)
        return;
    // The history is written out only when it has changed: it may be long.
    // What the browser refused is tried again after the next event.
    const bool historyChanged = app.state.history.version != program.keptHistory;
    if (!web_keep(record.data(), app.frame.savedRecord.data(), app.frame.currentFilePath.c_str(),
                  historyChanged ? historyFileText(app.state.history).c_str() : nullptr))
        return;
    program.keptRecord = record;
    program.keptSaved = app.frame.savedRecord;
    program.keptPath = app.frame.currentFilePath;
    program.keptHistory = app.state.history.version;
}

int runPage() {
    program.layer = std::make_unique<WebLayer>();
    program.layer->keepPlacesIn(&program.settings);
    program.app = std::make_unique<App>(*program.layer);
    program.app->builtWith = "for the browser";
    App &app = *program.app;
    webPage.onFrameCommand = [&app](int command) { frameCommand(app, command); };
    webPage.afterEvent = afterEvent;
    program.layer->buildFrame();
    program.layer->setFrameCaption(kUntitledCaption);
    app.guidePlaces = {"/guide/index.html"};

    if (keptFile("/kept/scenario.trv")) {
        KeptScenario taken{"/kept/scenario.trv", keptFile("/kept/name").value_or(""), {}};
        const std::optional<std::string> saved = keptFile("/kept/saved.trv");
        if (saved && saved->size() == kScenarioBytes) {
            ScenarioBytes bytes{};
            std::memcpy(bytes.data(), saved->data(), kScenarioBytes);
            taken.savedRecord = bytes;
        }
        startUpKept(app, taken);
    } else {
        startUp(app, "");
    }
    afterEvent();
    return 0;
}

} // namespace
} // namespace treva

int main() {
    // The page's file system starts with every permission masked off, which
    // would leave a newly saved scenario unreadable to the page that hands it
    // to the player: files are made as on a desktop instead.
    ::umask(022);
    return treva::runPage();
}
