// A running program on in-memory windows, for tests that drive windows the
// way a player does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_layer.h"
#include "resources/dialogs.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "seeds.h"
#include "ui/app.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

namespace treva::testing {

struct Session {
    HeadlessLayer ui;
    App app{ui};

    Session() {
        resetScenario(app.state, 1);
        noteScenarioSaved(app); // as start-up does
        ui.frameCaption = kUntitledCaption;
    }

    ProgramState &state() { return app.state; }
    ScenarioState &scenario() { return app.state.scenario; }
    const DieRollStats &stats() { return app.state.scenario.stats; }
    void seed(uint32_t value) { seedGenerator(app.state, value); }
    void seedFor(const std::vector<WantedRoll> &rolls) { seed(seedGiving(rolls)); }

    // Opens (or brings forward) a tool window by its frame command.
    WindowId open(int command) {
        frameCommand(app, command);
        for (int slot = 0; slot < int(ToolSlot::Count); ++slot) {
            const WindowId w = app.frame.toolWindows[slot];
            if (w != kNoWindow && ui.activeWindow() == w) return w;
        }
        return ui.activeWindow();
    }

    std::string text(WindowId w, int id) const { return ui.text(w, id); }
    bool enabled(WindowId w, int id) const { return ui.control(w, id)->enabled; }
    bool checked(WindowId w, int id) const { return ui.control(w, id)->checked; }
    int image(WindowId w, int id) const { return ui.control(w, id)->image; }
    int selection(WindowId w, int id) const { return ui.selection(w, id); }

    // Whether each control shows its text; a failure names every control that does not.
    ::testing::AssertionResult shows(WindowId w, std::initializer_list<std::pair<int, std::string>> texts) const {
        ::testing::AssertionResult result = ::testing::AssertionSuccess();
        for (const auto &[id, expected] : texts) {
            if (ui.text(w, id) == expected) continue;
            if (result) result = ::testing::AssertionFailure();
            result << "\n  control " << id << " shows \"" << ui.text(w, id) << "\", not \"" << expected << "\"";
        }
        return result;
    }

    // Whether the player was told exactly one error since the last look, and
    // it says each of `words`; the errors are taken, for the next look.
    ::testing::AssertionResult toldOnce(std::initializer_list<std::string> words) {
        const std::vector<std::string> told = std::exchange(ui.errors, {});
        bool says = told.size() == 1;
        for (const std::string &word : words) says = says && told[0].find(word) != std::string::npos;
        if (says) return ::testing::AssertionSuccess();
        ::testing::AssertionResult result = ::testing::AssertionFailure() << "not one error saying";
        for (const std::string &word : words) result << " \"" << word << "\"";
        for (const std::string &error : told) result << "\n  told: " << error;
        return result;
    }

    void click(WindowId w, int id) { ASSERT_TRUE(ui.click(w, id)) << "no control " << id; }
    void choose(WindowId w, int id, int index) { ASSERT_TRUE(ui.choose(w, id, index)) << "list " << id; }
};

} // namespace treva::testing
