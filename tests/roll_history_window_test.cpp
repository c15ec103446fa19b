#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>

#include "resources/ids/dice_chart.h"
#include "resources/ids/roll_history.h"
#include "scratch_folder.h"
#include "session.h"
#include "ui/roll_history_window.h"

namespace treva {
namespace {

using testing::readAll;
using testing::Session;
namespace fs = std::filesystem;

void fixedClock(char (&text)[20]) { std::strcpy(text, "2026-12-07 21:30:00"); }

struct History : ::testing::Test {
    Session s;
    History() { s.state().clock = fixedClock; }
    const std::vector<RollEntry> &entries() { return s.state().history.entries; }
};

// Each roll button of each window records its roll under the window's own
// words, and the window shows the faces the record keeps.
TEST_F(History, EveryRollButtonRecordsItsPurposeAndFaces) {
    struct Roll {
        int command, control;
        const char *purpose;
        int shownIn; // the field that shows the roll, or 0
        const char *shown;
    };
    using namespace actions_ids;
    const Roll rolls[] = {
        {kCmdActivation, activation_ids::kRoll, "Activation dr", activation_ids::kDrField, "%s"},
        {kCmdActions, kInfAction, "INF Action DR", kDice, "DR = %s"},
        {kCmdActions, kAfvAction, "AFV Action DR", kDice, "DR = %s"},
        {kCmdActions, kIftAttack, "IFT Attack DR", 0, nullptr},
        {kCmdActions, kOrdVeh, "Ord. vs Veh. DR", 0, nullptr},
        {kCmdActions, kDirectionButton, "Direction dr", kDirection, "dr = %s"},
        {kCmdAdvance, advance_ids::kAdvanceButton, "Advance dr", advance_ids::kRollField, "dr = %s"},
        {kCmdAdvance, advance_ids::kNtcButton, "CC NTC DR", 0, nullptr},
        {kCmdAdvance, advance_ids::kPairingsButton, "CC Pairings dr", advance_ids::kRollField, "dr = %s"},
        {kCmdAdvance, advance_ids::kAttackButton, "CC Attack dr", advance_ids::kRollField, "dr = %s"},
        {kCmdRandomTables, random_tables_ids::kTableC, "Table 6c dr", random_tables_ids::kDrField, "%s"},
        {kCmdRandomTables, random_tables_ids::kSingleDie, "Single Die", random_tables_ids::kDrField, "%s"},
        {kCmdRandomTables, random_tables_ids::kTwoDice, "Two Dice", 0, nullptr},
        {kCmdRandomTables, random_tables_ids::kHexRow, "A - GG hexes", random_tables_ids::kResultField, "%s"},
        {kCmdRandomTables, random_tables_ids::kHexNumber, "1 - 10 hexes", random_tables_ids::kResultField, "%s"},
    };
    for (const Roll &r : rolls) {
        const WindowId w = s.open(r.command);
        const std::size_t before = entries().size();
        s.click(w, r.control);
        ASSERT_GT(entries().size(), before) << r.purpose;
        const RollEntry &e = entries()[before];
        EXPECT_EQ(e.purpose, r.purpose);
        if (r.shownIn) {
            char shown[64];
            std::snprintf(shown, sizeof shown, r.shown, rollText(e).c_str());
            EXPECT_EQ(s.text(w, r.shownIn), shown) << r.purpose;
        }
    }
    // A unit generation names its tables' rolls.
    s.scenario().attitude = 0;
    const WindowId activation = s.open(kCmdActivation);
    s.click(activation, activation_ids::kAllowManual);
    s.click(activation, activation_ids::kManual);
    std::set<std::string> purposes;
    for (const RollEntry &e : entries()) purposes.insert(e.purpose);
    EXPECT_TRUE(purposes.count("A1 DR"));
    EXPECT_TRUE(purposes.count("x2 DR"));
}

// A long session of random input in every window: each input adds to the
// history exactly the dice the statistics count, and at the end the counted
// entries since the last Clear agree with the statistics.
TEST_F(History, CountedEntriesAgreeWithTheStatisticsAfterALongSession) {
    std::mt19937 random(20261207);
    s.ui.onModal = [&](WindowId box) {
        if (random() % 2)
            s.ui.click(box, kCommandOk);
        else
            s.ui.closeBox(box);
    };
    const int commands[] = {kCmdActivation, kCmdSetup, kCmdActions, kCmdDieStats, kCmdAdvance, kCmdRandomTables};
    long long rolled = 0;
    for (int step = 0; step < 4000; ++step) {
        const WindowId w = s.open(commands[random() % std::size(commands)]);
        const HeadlessWindow *shown = s.ui.window(w);
        std::vector<const ControlTemplate *> inputs;
        for (const HeadlessControl &c : shown->controls)
            if (c.source->id != kNoId && c.source->id > kCommandCancel && c.enabled) inputs.push_back(c.source);
        const ControlTemplate *c = inputs[random() % inputs.size()];
        const DieRollStats before = s.stats();
        const std::size_t entriesBefore = entries().size();
        if (c->kind == ControlKind::DropDownList) {
            const int items = int(s.ui.control(w, c->id)->items.size());
            if (items) s.ui.choose(w, c->id, int(random() % items));
        } else {
            s.ui.click(w, c->id);
        }
        RollHistory added;
        added.entries.assign(entries().begin() + long(entriesBefore), entries().end());
        const CountedRolls n = countedSinceCleared(added);
        rolled += n.oneDie + n.twoDice;
        const bool cleared = c->id == die_stats_ids::kClear && w == toolWindow(s.app, ToolSlot::DieStats);
        if (!cleared) {
            ASSERT_EQ(n.oneDie, s.stats().oneDieRolls - before.oneDieRolls) << "step " << step << " control " << c->id;
            ASSERT_EQ(n.twoDice, s.stats().twoDiceRolls - before.twoDiceRolls)
                << "step " << step << " control " << c->id;
        }
        for (const RollEntry &e : added.entries) ASSERT_FALSE(e.purpose.empty());
    }
    const CountedRolls n = countedSinceCleared(s.state().history);
    EXPECT_EQ(n.oneDie, s.stats().oneDieRolls);
    EXPECT_EQ(n.twoDice, s.stats().twoDiceRolls);
    EXPECT_GT(rolled, 1000);
}

TEST_F(History, TheWindowFollowsRollsNewestFirstCopiesAndClears) {
    const WindowId history = s.open(kCmdRollHistory);
    const WindowId random = s.open(kCmdRandomTables);
    s.click(random, random_tables_ids::kSingleDie);
    s.click(random, random_tables_ids::kTwoDice);
    const HeadlessControl *rows = s.ui.control(history, roll_history_ids::kRows);
    ASSERT_EQ(rows->rowCount, 2);
    EXPECT_EQ(rows->row(0), historyRow(entries()[1])) << "newest first";
    EXPECT_EQ(rows->row(1), historyRow(entries()[0]));
    EXPECT_EQ(s.text(history, roll_history_ids::kCount), "2 rolls");

    s.ui.selectRows(history, roll_history_ids::kRows, {1});
    s.click(history, roll_history_ids::kCopy);
    EXPECT_EQ(s.ui.clipboard, historyRow(entries()[0]) + "\n");
    s.click(history, roll_history_ids::kCopyAll);
    EXPECT_EQ(s.ui.clipboard, historyRow(entries()[1]) + "\n" + historyRow(entries()[0]) + "\n");

    noteScenarioSaved(s.app);
    s.click(history, roll_history_ids::kClear);
    EXPECT_EQ(s.ui.control(history, roll_history_ids::kRows)->rowCount, 0);
    EXPECT_EQ(s.text(history, roll_history_ids::kCount), "0 rolls");
    EXPECT_TRUE(hasUnsavedChanges(s.app)) << "a cleared history is a change to save";
    EXPECT_TRUE(s.ui.frameModified);
}

// Escape closes the tool windows of ours, as their close box does; the
// module's own tool windows keep it.
TEST_F(History, EscapeClosesTheHistoryAndTheChartOnly) {
    for (const int command : {kCmdRollHistory, kCmdDiceChart, kCmdActivation, kCmdSetup, kCmdActions, kCmdDieStats,
                              kCmdAdvance, kCmdRandomTables}) {
        const WindowId window = s.open(command);
        s.ui.escape(window);
        EXPECT_EQ(s.ui.isOpen(window), command != kCmdRollHistory && command != kCmdDiceChart) << command;
    }
}

TEST_F(History, TheChartOpensFromDieStatsAndFollowsTheDice) {
    const WindowId stats = s.open(kCmdDieStats);
    s.click(stats, die_stats_ids::kChart);
    const WindowId chart = toolWindow(s.app, ToolSlot::DiceChart);
    ASSERT_TRUE(s.ui.isOpen(chart));
    EXPECT_EQ(s.ui.control(chart, dice_chart_ids::kTwoDiceChart)->bars.size(), 11u);
    EXPECT_EQ(s.text(chart, dice_chart_ids::kOneDieFairness), "Roll at least 30 more times for a fairness check.");
    const WindowId random = s.open(kCmdRandomTables);
    for (int i = 0; i < 30; ++i) s.click(random, random_tables_ids::kSingleDie);
    const std::vector<ChartBar> &bars = s.ui.control(chart, dice_chart_ids::kOneDieChart)->bars;
    ASSERT_EQ(bars.size(), 6u);
    for (int face = 1; face <= 6; ++face) {
        EXPECT_EQ(bars[face - 1].label, std::to_string(face));
        EXPECT_EQ(bars[face - 1].count, s.stats().oneDieCounts[face - 1]);
        EXPECT_DOUBLE_EQ(bars[face - 1].expected, 5.0);
    }
    EXPECT_EQ(s.text(chart, dice_chart_ids::kOneDieFairness).rfind("Chi-square ", 0), 0u);
}

// The history file beside the scenario file.
struct HistoryFiles : History, testing::ScratchFolder {
    const std::string file = path("june.trv"), history = path("june.history.txt");

    HistoryFiles() { s.ui.saveAnswers = {}; }
    static void write(const std::string &at, const std::string &bytes) { std::ofstream(at, std::ios::binary) << bytes; }
    void rollSome() {
        const WindowId random = s.open(kCmdRandomTables);
        s.click(random, random_tables_ids::kTwoDice);
        s.click(random, random_tables_ids::kHexRow);
        const WindowId actions = s.open(kCmdActions);
        s.click(actions, actions_ids::kInfAction);
    }
    // Rolls and saves the scenario; what its history file then holds.
    std::string rollAndSave() {
        rollSome();
        EXPECT_TRUE(saveScenarioFile(s.app, file));
        return readAll(history);
    }
    // The scenario as another run of the program opens it.
    static std::unique_ptr<Session> opened(const std::string &file) {
        auto other = std::make_unique<Session>();
        EXPECT_TRUE(loadScenarioFile(other->app, file));
        other->app.frame.currentFilePath = file;
        return other;
    }
    // Another roll in `other`, saved to its file.
    static void rollAndSaveIn(Session &other) {
        other.click(other.open(kCmdRandomTables), random_tables_ids::kTwoDice);
        ASSERT_TRUE(saveScenarioFile(other.app, other.app.frame.currentFilePath));
    }
};

TEST_F(HistoryFiles, HistorySurvivesASaveAndAnOpenByteForByte) {
    const std::string written = rollAndSave();
    EXPECT_EQ(historyPathFor(file), history);
    EXPECT_EQ(written, historyFileText(s.state().history));
    EXPECT_FALSE(hasUnsavedChanges(s.app));

    const auto other = opened(file);
    EXPECT_EQ(other->state().history.entries, entries());
    EXPECT_FALSE(hasUnsavedChanges(other->app));
    ASSERT_TRUE(saveScenarioFile(other->app, path("again.trv")));
    EXPECT_EQ(readAll(path("again.history.txt")), written);
    EXPECT_TRUE(other->ui.errors.empty());
}

TEST_F(HistoryFiles, AScenarioWithoutAHistoryOpensWithAnEmptyOneAndWritesNoneUntilARoll) {
    std::string error;
    ASSERT_TRUE(writeScenarioFile(file, s.scenario(), error)) << error;
    rollSome();
    ASSERT_TRUE(loadScenarioFile(s.app, file));
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(s.ui.errors.empty());
    ASSERT_TRUE(saveScenarioFile(s.app, file));
    EXPECT_FALSE(fs::exists(history)) << "nothing to keep";
}

// A history that cannot be read is told, the scenario opens all the same with
// an empty history, and the file is kept under another name at the next save.
TEST_F(HistoryFiles, ADamagedOrUnreadableHistoryIsToldAndTheScenarioStillOpens) {
    const std::string damaged = rollAndSave() + "garbage\n";
    const auto opensEmpty = [&](const char *error) {
        auto other = opened(file);
        EXPECT_TRUE(other->state().history.entries.empty()) << error;
        EXPECT_EQ(other->scenario().stats.twoDiceRolls, s.stats().twoDiceRolls) << error;
        EXPECT_TRUE(other->toldOnce({error}));
        return other;
    };
    fs::remove(history);
    fs::create_directory(history);
    opensEmpty("it is a folder, not a roll history");
    fs::remove(history);
    write(history, damaged);
    const auto other = opensEmpty("line 5 is damaged");
    ASSERT_TRUE(saveScenarioFile(other->app, file));
    EXPECT_EQ(readAll(history + ".damaged"), damaged);
    EXPECT_EQ(readAll(history), "TREVA roll history 1\n");
}

// There is no length at which TREVA writes a history it will not read: a
// file past the 64 MB that once was the limit reads, and takes a roll.
TEST_F(HistoryFiles, AHistoryOfAnyLengthReadsAndGrows) {
    const std::string row = "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n";
    {
        std::ofstream out(history, std::ios::binary);
        out << "TREVA roll history 1\n" << row;
        const std::string blank(1 << 20, '\n'); // blank lines hold no row: the test stays light
        for (int i = 0; i < 65; ++i) out << blank;
        out << row;
    }
    ASSERT_GT(fs::file_size(history), std::uintmax_t(64) << 20);
    RollHistory read;
    std::string error;
    ASSERT_TRUE(readHistoryFile(history, read, error)) << error;
    EXPECT_EQ(read.entries.size(), 2u);
    HistoryChange change;
    ASSERT_TRUE(appendHistory(history, row, change, error)) << error;
    ASSERT_TRUE(readHistoryFile(history, read, error)) << error;
    EXPECT_EQ(read.entries.size(), 3u);
}

// The scenario and its history are saved together or not at all.
TEST_F(HistoryFiles, AHistoryThatCannotBeWrittenLeavesBothFilesAsTheyWere) {
    ASSERT_TRUE(saveScenarioFile(s.app, file));
    const std::string scenario = readAll(file);
    rollSome();
    for (const bool folder : {true, false}) {
        fs::remove_all(history);
        if (folder) {
            fs::create_directory(history);
        } else {
            write(history, "TREVA roll history 1\n");
            fs::permissions(history, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
        EXPECT_FALSE(saveScenarioFile(s.app, file)) << folder;
        EXPECT_EQ(readAll(file), scenario) << folder << ": the scenario does not count rolls its history lacks";
        EXPECT_TRUE(s.toldOnce({"Nothing was written"}));
        EXPECT_TRUE(hasUnsavedChanges(s.app)) << folder;
    }
    EXPECT_EQ(readAll(history), "TREVA roll history 1\n");
    fs::permissions(history, fs::perms::owner_write, fs::perm_options::add);
    // And a scenario that cannot be written leaves the history as it was.
    fs::remove(history);
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(saveScenarioFile(s.app, file));
    EXPECT_FALSE(fs::exists(history));
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

// Saving again adds the rows rolled since at the end of the file: what was
// saved stays as it was written, and the file reads back whole.
TEST_F(HistoryFiles, ASaveAddsTheNewRowsAtTheEnd) {
    const std::string first = rollAndSave();
    const auto other = opened(file);
    rollAndSaveIn(*other);
    const std::string second = readAll(history);
    EXPECT_EQ(second.substr(0, first.size()), first);
    EXPECT_EQ(second, historyFileText(other->state().history));
    // Cleared, the history is written anew.
    other->state().history.clear();
    ASSERT_TRUE(saveScenarioFile(other->app, file));
    EXPECT_EQ(readAll(history), "TREVA roll history 1\n");
    // A file changed by another program since is written anew, not added to.
    write(history, "TREVA roll history 1\n" + first.substr(first.find('\n') + 1));
    rollAndSaveIn(*other);
    EXPECT_EQ(readAll(history), historyFileText(other->state().history));
    EXPECT_TRUE(other->ui.errors.empty()) << other->ui.errors[0];
}

// A line cut short by a crash is told once and left out; the rows before it
// open, and the next save writes the history whole.
TEST_F(HistoryFiles, ALineCutShortIsToldAndLeftOut) {
    write(history, rollAndSave() + "2026-12-07 14:05:09\tA1 DR\t4 + ");
    const auto other = opened(file);
    EXPECT_EQ(other->state().history.entries, entries());
    EXPECT_TRUE(other->toldOnce({"cut short"}));
    rollAndSaveIn(*other);
    EXPECT_EQ(readAll(history), historyFileText(other->state().history));
}

} // namespace
} // namespace treva
