#include "ui/screenshot_scenes.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>

#include "actions/action_roll.h"
#include "activation/activation.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "ui/frame.h"

namespace treva {
namespace {

// The generator's seed as the scenes begin. Scenes that need particular
// rolls seed the generator again with the first seed that gives them.
constexpr uint32_t kStartSeed = 1;

// The first seed from 1 with which `roll`, the rolls a scene's clicks make
// (by the logic the windows call), gives what the scene is there to show.
// Tried on a copy of the program's state: the real one rolls only once.
template <typename Roll> uint32_t firstSeedGiving(const ProgramState &state, Roll roll) {
    uint32_t seed = 1;
    for (; seed < 100'000; ++seed) {
        ProgramState trial = state;
        seedGenerator(trial, seed);
        if (roll(trial)) break;
    }
    return seed;
}

std::size_t lineCount(const std::string &text) {
    return text.empty() ? 0 : std::count(text.begin(), text.end(), '\r') + 1;
}

class Scenes {
public:
    Scenes(App &app, Camera &camera) : app_(app), camera_(camera) {
        camera_.answerBoxes([this](WindowId box) {
            if (boxes_.empty()) {
                ok_ = false; // a box no scene opens
            } else {
                shoot(box, boxes_.front());
                boxes_.pop_front();
            }
            camera_.click(box, kCommandOk);
        });
    }
    ~Scenes() { camera_.answerBoxes(nullptr); }
    Scenes(const Scenes &) = delete;
    Scenes &operator=(const Scenes &) = delete;

    bool done() const { return ok_ && boxes_.empty(); }

    void play() {
        startUpBoxes();
        activation();
        actions();
        advance();
        diceWindows();
        setup();
        shoot(app_.ui.frame(), "frame");
    }

private:
    void shoot(WindowId window, const char *name) { ok_ = camera_.photograph(window, name) && ok_; }
    void click(WindowId window, int control) { camera_.click(window, control); }
    // The next box to open is photographed under `name`, then OK pressed.
    void expectBox(const char *name) { boxes_.push_back(name); }
    void seed(uint32_t value) { seedGenerator(app_.state, value); }

    void startUpBoxes() {
        expectBox("about");
        expectBox("beta-notice");
        frameCommand(app_, kCmdAbout);
    }

    void activation() {
        using namespace activation_ids;
        const WindowId window = openToolWindow(app_, ToolSlot::Activation);
        // A dr of 1 activates whatever the modifiers, and draws the units.
        seed(firstSeedGiving(app_.state, [](ProgramState &trial) {
            rollActivation(trial);
            return trial.lastActivationDr == 1 && lineCount(trial.unitsText) >= 2;
        }));
        click(window, kRoll);
        shoot(window, "activation-automatic");
        // Units drawn without the activation roll, as the player allows,
        // after a roll that shows its modifiers: a few units, to fill the
        // picture the README opens with.
        seed(firstSeedGiving(app_.state, [](ProgramState &trial) {
            rollActivation(trial);
            const bool modified = trial.lastActivationDr > 1 && trial.lastActivationDr < 6;
            manualActivation(trial);
            return modified && lineCount(trial.unitsText) >= 3;
        }));
        click(window, kRoll);
        click(window, kAllowManual);
        click(window, kManual);
        shoot(window, "activation");
    }

    void actions() {
        using namespace actions_ids;
        const WindowId window = openToolWindow(app_, ToolSlot::Actions);
        // An INF Action that fires, without doubles (no panic), then the
        // attack table's priorities for that fire.
        seed(firstSeedGiving(app_.state, [](ProgramState &trial) {
            const int32_t attitude = trial.scenario.attitude;
            const auto [a, b] = rollTwoSingleDice(trial, "");
            return a != b && actionBand(attitude, a + b) == ActionBand::Fires;
        }));
        click(window, kInfAction);
        click(window, kIftAttack);
        shoot(window, "actions-roll");
        click(window, kDirectionButton);
        shoot(window, "actions-direction");
        // The player's own dice: the marker beside the table the die
        // buttons resolve, and the longest table text.
        click(window, kManualBox);
        click(window, kVehMove);
        click(window, dieButton(9));
        shoot(window, "actions");
    }

    void advance() {
        using namespace advance_ids;
        const WindowId window = openToolWindow(app_, ToolSlot::Advance);
        click(window, kNtcButton);
        shoot(window, "advance");
        click(window, kAdvanceButton);
        shoot(window, "advance-direction");
    }

    void diceWindows() {
        using namespace random_tables_ids;
        const WindowId random = openToolWindow(app_, ToolSlot::RandomTables);
        click(random, kTableA);
        shoot(random, "random-number-tables");
        // A history to show, and enough dice for the chart's fairness check
        // (180 DR and 30 dr).
        for (int i = 0; i < 200; ++i) click(random, kTwoDice);
        for (int i = 0; i < 40; ++i) click(random, kSingleDie);
        click(random, kHexRow);

        const WindowId stats = openToolWindow(app_, ToolSlot::DieStats);
        shoot(stats, "die-stats");
        click(stats, die_stats_ids::kChart);
        shoot(toolWindow(app_, ToolSlot::DiceChart), "dice-chart");
        shoot(openToolWindow(app_, ToolSlot::RollHistory), "roll-history");
    }

    void setup() {
        const WindowId window = openToolWindow(app_, ToolSlot::Setup);
        shoot(window, "setup-options");
        expectBox("special");
        click(window, setup_ids::kSpecialButton);
    }

    App &app_;
    Camera &camera_;
    std::deque<const char *> boxes_;
    bool ok_ = true;
};

} // namespace

void screenshotClock(char (&text)[20]) { std::snprintf(text, sizeof text, "%s", "2024-11-15 20:40:00"); }

bool playScreenshotScenes(App &app, Camera &camera) {
    resetScenario(app.state, kStartSeed);
    app.state.clock = screenshotClock;
    bool done = false;
    {
        Scenes scenes(app, camera);
        scenes.play();
        done = scenes.done();
    }
    app.ui.closeFrame();
    return done;
}

} // namespace treva
