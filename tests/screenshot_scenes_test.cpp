// The screenshot scenes on in-memory windows: each picture catches its window
// in the state it is taken for, and the same program takes the same pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "actions/priority_tables.h"
#include "platform/headless/headless_layer.h"
#include "resources/dialogs.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/dice_chart.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/roll_history.h"
#include "ui/app.h"
#include "ui/screenshot_scenes.h"

namespace treva {
namespace {

// A window as the camera saw it; no window for the frame.
struct Shot {
    std::optional<HeadlessWindow> window;
    std::size_t rolls = 0; // the history's length then

    const HeadlessControl &control(int id) const {
        static const HeadlessControl none;
        const HeadlessControl *c = window ? window->control(id) : nullptr;
        return c ? *c : none;
    }
    std::string text(int id) const { return control(id).text; }
    int templateId() const { return window && window->dialog ? window->dialog->id : 0; }
};

class RecordingCamera : public Camera {
public:
    RecordingCamera(HeadlessLayer &ui, const App &app) : ui_(ui), app_(app) {}

    std::vector<std::string> names;
    std::map<std::string, Shot> shots;
    const char *failing = nullptr; // a picture that cannot be written

    bool photograph(WindowId window, const char *name) override {
        names.push_back(name);
        Shot &shot = shots[name];
        if (window != ui_.frame()) {
            if (const HeadlessWindow *w = ui_.window(window); w && w->open) shot.window = *w;
        }
        shot.rolls = app_.state.history.entries.size();
        return (window == ui_.frame() || shot.window) && !(failing && names.back() == failing);
    }
    void click(WindowId window, int control) override { ui_.click(window, control); }
    void answerBoxes(std::function<void(WindowId box)> answer) override { ui_.onModal = std::move(answer); }

private:
    HeadlessLayer &ui_;
    const App &app_;
};

struct ScenesRun {
    HeadlessLayer ui;
    App app{ui};
    RecordingCamera camera{ui, app};
    bool done = false;

    explicit ScenesRun(const char *failing = nullptr) {
        camera.failing = failing;
        done = playScreenshotScenes(app, camera);
    }
    const Shot &shot(const char *name) const {
        static const Shot none;
        const auto it = camera.shots.find(name);
        return it == camera.shots.end() ? none : it->second;
    }
    // The purpose of the roll `back` rolls before a picture was taken (1: the last).
    std::string rollBefore(const Shot &shot, std::size_t back = 1) const {
        return shot.rolls >= back ? app.state.history.entries[shot.rolls - back].purpose : "";
    }
};

// "DR = 7" -> 7, "dr = 3" -> 3; 0 for anything else.
int numberAfterEquals(const std::string &text) {
    int value = 0;
    return std::sscanf(text.c_str(), "%*[^=]= %d", &value) == 1 ? value : 0;
}

TEST(ScreenshotScenes, EachPictureShowsWhatItIsTakenFor) {
    const ScenesRun run;
    ASSERT_TRUE(run.done);
    EXPECT_TRUE(run.ui.frameClosed());

    // Every picture once, and only these: the player's guide shows them by name.
    std::map<std::string, int> taken;
    for (const std::string &name : run.camera.names) ++taken[name];
    for (const auto &[name, count] : taken) EXPECT_EQ(count, 1) << name;

    std::map<std::string, int> templates = {
        {"about", kAboutDialog},
        {"beta-notice", kNoticeDialog},
        {"setup-options", kSetupDialog},
        {"special", kSpecialDialog},
        {"activation", kActivationDialog},
        {"activation-automatic", kActivationDialog},
        {"actions", kActionsDialog},
        {"actions-roll", kActionsDialog},
        {"actions-direction", kActionsDialog},
        {"advance", kAdvanceDialog},
        {"advance-direction", kAdvanceDialog},
        {"random-number-tables", kRandomTablesDialog},
        {"die-stats", kDieStatsDialog},
        {"dice-chart", kDiceChartDialog},
        {"roll-history", kRollHistoryDialog},
        {"frame", 0},
    };
    EXPECT_EQ(taken.size(), templates.size());
    for (const auto &[name, id] : templates) {
        EXPECT_EQ(taken.count(name), 1u) << name << " not taken";
        EXPECT_EQ(run.shot(name.c_str()).templateId(), id) << name;
    }

    {
        using namespace activation_ids;
        const Shot &automatic = run.shot("activation-automatic");
        EXPECT_EQ(automatic.text(kDrField), "1");
        EXPECT_EQ(automatic.text(kStatus), "Activation Automatic");
        EXPECT_NE(automatic.text(kA1Field), "");
        EXPECT_NE(automatic.text(kUnitsField), "");

        const Shot &manual = run.shot("activation");
        EXPECT_EQ(manual.text(kStatus), "Manual Activation");
        EXPECT_NE(manual.text(kUnitsField), "");
    }
    {
        using namespace actions_ids;
        const int orientation = run.app.state.scenario.mapOrientation;
        // An INF Action roll, then the attack table rolled and its priorities shown.
        const Shot &roll = run.shot("actions-roll");
        EXPECT_FALSE(roll.control(kManualBox).checked);
        EXPECT_EQ(run.rollBefore(roll, 2), "INF Action DR");
        EXPECT_EQ(run.rollBefore(roll), "IFT Attack DR");
        EXPECT_EQ(roll.text(kPanic), "");
        EXPECT_EQ(roll.text(kTitle), "Infantry Attack Directions");
        const int dr = numberAfterEquals(roll.text(kRoll));
        EXPECT_EQ(roll.text(kResults), priorityText(PriorityTable::IftAttack, dr)) << roll.text(kRoll);

        const Shot &direction = run.shot("actions-direction");
        const int dir = numberAfterEquals(direction.text(kDirection));
        EXPECT_EQ(run.rollBefore(direction), "Direction dr");
        EXPECT_GE(dir, 1);
        EXPECT_EQ(direction.control(kPicture).image, directionResultBitmap(orientation, dir));

        const Shot &manual = run.shot("actions");
        EXPECT_TRUE(manual.control(kManualBox).checked);
        EXPECT_EQ(manual.text(kVehMoveMarker), "\xBB");
        EXPECT_EQ(manual.text(kRoll), "DR = 9");
        EXPECT_EQ(manual.text(kResults), priorityText(PriorityTable::VehicleMovement, 9));
    }
    {
        using namespace advance_ids;
        const Shot &ntc = run.shot("advance");
        EXPECT_EQ(run.rollBefore(ntc), "CC NTC DR");
        EXPECT_EQ(ntc.control(kPicture).image, directionKeyBitmap(run.app.state.scenario.mapOrientation));

        const Shot &direction = run.shot("advance-direction");
        EXPECT_EQ(run.rollBefore(direction), "Advance dr");
        EXPECT_EQ(direction.control(kPicture).image,
                  directionResultBitmap(run.app.state.scenario.mapOrientation,
                                        numberAfterEquals(direction.text(kRollField))));
    }
    EXPECT_NE(run.shot("random-number-tables").text(random_tables_ids::kResultField), "");
    {
        // Enough dice for the fairness check, which then gives its verdict.
        const Shot &stats = run.shot("die-stats");
        EXPECT_GE(std::stoi(stats.text(die_stats_ids::kTwoDiceTotal)), 180);
        EXPECT_GE(std::stoi(stats.text(die_stats_ids::kOneDieTotal)), 30);
        const Shot &chart = run.shot("dice-chart");
        for (int fairness : {dice_chart_ids::kTwoDiceFairness, dice_chart_ids::kOneDieFairness})
            EXPECT_NE(chart.text(fairness).find("(p "), std::string::npos) << chart.text(fairness);
        EXPECT_EQ(run.shot("roll-history").control(roll_history_ids::kRows).rowCount,
                  int(run.shot("roll-history").rolls));
    }
}

// The same program takes the same pictures; one that cannot be written fails
// the run, but the others are taken.
TEST(ScreenshotScenes, SameProgramSamePictures) {
    const ScenesRun first, second, failing("dice-chart");
    EXPECT_FALSE(failing.done);
    EXPECT_EQ(failing.camera.names, first.camera.names);
    ASSERT_EQ(first.camera.names, second.camera.names);
    for (const auto &[name, shot] : first.camera.shots) {
        const Shot &again = second.shot(name.c_str());
        ASSERT_EQ(shot.window.has_value(), again.window.has_value()) << name;
        if (!shot.window) continue;
        ASSERT_EQ(shot.window->controls.size(), again.window->controls.size()) << name;
        for (std::size_t i = 0; i < shot.window->controls.size(); ++i) {
            const HeadlessControl &a = shot.window->controls[i], &b = again.window->controls[i];
            EXPECT_EQ(a.text, b.text) << name << " control " << i;
            EXPECT_EQ(a.image, b.image) << name << " control " << i;
            EXPECT_EQ(a.rowCount, b.rowCount) << name << " control " << i;
            for (int row = 0; row < a.rowCount && a.row; ++row) ASSERT_EQ(a.row(row), b.row(row)) << name;
        }
    }
    // The same evening for every roll, whenever the pictures are taken.
    char evening[20];
    screenshotClock(evening);
    for (const RollEntry &entry : first.app.state.history.entries) ASSERT_STREQ(entry.time, evening);
}

} // namespace
} // namespace treva
