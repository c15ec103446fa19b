#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "resources/dialogs.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/setup.h"
#include "scratch_folder.h"

namespace treva {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun cli(const std::vector<std::string> &args, const std::optional<std::string> &guide = std::nullopt) {
    std::ostringstream out, err;
    const int status = runCli(args, out, err, guide);
    return {status, out.str(), err.str()};
}

// A control id as drive's tokens and output write it.
std::string id(int control) { return std::to_string(control); }

// What a command printed, read as the one JSON value it must be.
nlohmann::json json(const CliRun &r) { return nlohmann::json::parse(r.out); }
// A control as drive's output shows it.
const nlohmann::json &control(const nlohmann::json &window, int id) {
    return window.at("controls").at(std::to_string(id));
}

using testing::readAll;

struct CliFiles : ::testing::Test, testing::ScratchFolder {
    // A fresh scenario written by `new`.
    std::string fresh(const char *name) {
        const std::string file = path(name);
        EXPECT_EQ(cli({"new", file}).status, 0);
        return file;
    }
};

TEST(CliDrive, ActionsWindowWithTheDiceOfStateOne) {
    using namespace actions_ids;
    const CliRun r = cli({"--seed", "1", "drive", "103", id(kInfAction)});
    ASSERT_EQ(r.status, 0) << r.err;
    // Scripts read the output as it has always been written.
    EXPECT_EQ(r.out.rfind("{\"window\": 103, \"open\": true, \"controls\": {", 0), 0u);
    const nlohmann::json out = json(r);
    EXPECT_EQ(control(out, kDice), (nlohmann::json{{"text", "DR = 6, 6"}, {"enabled", true}}));
    EXPECT_EQ(control(out, kPicture), (nlohmann::json{{"text", ""}, {"enabled", true}, {"image", 118}}));
    EXPECT_EQ(control(out, kManualBox),
              (nlohmann::json{{"text", "Manual die roll"}, {"enabled", true}, {"checked", false}}));
    EXPECT_EQ(control(out, kSummary).at("text"), "vs. Russian\rJanuary, 1939\rHold Attitude\rMSR = 0");
    EXPECT_TRUE(out.at("modal").is_null());
    EXPECT_EQ(out.at("stats").at("oneDieCounts"), (nlohmann::json{0, 0, 0, 0, 0, 2}));
}

TEST(CliDrive, EveryControlOfEveryWindowIsListed) {
    const struct {
        std::vector<std::string> args;
        int templateId;
    } windows[] = {
        {{"drive", "101"}, kActivationDialog},
        {{"drive", "102"}, kSetupDialog},
        {{"drive", "103"}, kActionsDialog},
        {{"drive", "114"}, kDieStatsDialog},
        {{"drive", "115"}, kAdvanceDialog},
        {{"drive", "128"}, kRandomTablesDialog},
        {{"drive", "102", id(setup_ids::kSpecialButton)}, kSpecialDialog},
    };
    for (const auto &w : windows) {
        const CliRun r = cli(w.args);
        ASSERT_EQ(r.status, 0) << r.err;
        const nlohmann::json out = json(r);
        const nlohmann::json &shown = w.templateId == kSpecialDialog ? out.at("modal") : out;
        ASSERT_EQ(shown.at("window"), w.templateId);
        std::set<std::string> expected;
        for (const ControlTemplate &c : findDialogTemplate(w.templateId)->controls)
            // Ours (kAdded) are left out: scripts see the window as they always have.
            if (c.id != kNoId && !(c.style & kAdded)) expected.insert(id(c.id));
        std::set<std::string> listed;
        for (const auto &[key, value] : shown.at("controls").items()) listed.insert(key);
        EXPECT_EQ(listed, expected) << w.templateId;
        EXPECT_FALSE(listed.empty());
    }
}

TEST(CliDrive, ModalBoxTakesTheTokensUntilItEnds) {
    using namespace setup_ids;
    const std::string typeA1 = id(special_ids::kA1Box) + ":-4";
    CliRun r = cli({"drive", "102", id(kSpecialButton), typeA1});
    ASSERT_EQ(r.status, 0) << r.err;
    nlohmann::json out = json(r);
    EXPECT_EQ(out.at("modal").at("window"), 107);
    EXPECT_EQ(out.at("modal").at("open"), true);
    EXPECT_EQ(control(out.at("modal"), special_ids::kA1Box).at("text"), "-4");
    EXPECT_EQ(out.at("scenario").at("a1Modifier"), 0) << "not stored before OK";

    // OK ends the box; the tokens after it go to Setup Options, whose OK closes it.
    r = cli({"drive", "102", id(kSpecialButton), typeA1, id(special_ids::kOk), id(kAc4), id(kOk)});
    ASSERT_EQ(r.status, 0) << r.err;
    out = json(r);
    EXPECT_EQ(out.at("open"), false);
    EXPECT_TRUE(out.at("modal").is_null());
    EXPECT_EQ(out.at("scenario").at("a1Modifier"), -4);
    EXPECT_EQ(out.at("scenario").at("acNumber"), 4);
}

TEST(CliDrive, BadInputIsOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"drive", "103", "9999"},
        {"drive", "102", "close"},
        {"drive", "101", id(activation_ids::kLevelList) + "=5"},
        {"drive", "101", id(activation_ids::kRoll) + "=1"},
        {"drive", "101", "abc"},
        {"drive", "101", id(activation_ids::kRoll) + ":x"},
        {"drive", "107"},
        {"drive", "999"},
        {"drive"},
        {"frobnicate"},
        {"--seed", "4294967296", "show"},
        {"--seed", "-1", "show"},
        {"--seed"},
        {"--bogus", "show"},
        {},
        {"drive", "103", "close", id(actions_ids::kInfAction)},
        {"roll", "d7"},
        {"table", "6i"},
        {"table", "7a"},
        {"lookup", "ift", "13"},
        {"--scenario", "/nonexistent/folder/x.trv", "show"},
    };
    for (const auto &args : bad) {
        const CliRun r = cli(args);
        std::string joined;
        for (const auto &a : args) joined += a + " ";
        EXPECT_EQ(r.status, 2) << joined;
        EXPECT_TRUE(r.out.empty()) << joined;
        ASSERT_FALSE(r.err.empty()) << joined;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
        EXPECT_EQ(r.err.rfind("treva-cli: ", 0), 0u) << r.err;
    }
}

TEST(CliShow, FreshScenario) {
    const CliRun r = cli({"show"});
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json out = json(r);
    EXPECT_EQ(out.at("summary"), "vs. Russian\rJanuary, 1939\rHold Attitude\rMSR = 0");
    EXPECT_EQ(out.at("fileName"), "vs. Russian (1-39)");
    EXPECT_EQ(out.at("conditions").get<std::string>().rfind("* FRIENDLY Infantry in LOS within 8", 0), 0u);
}

TEST_F(CliFiles, NewRefusesAnExistingFileUnlessForced) {
    const std::string file = fresh("s.trv");
    EXPECT_EQ(std::filesystem::file_size(file), 144u);
    std::ofstream(file, std::ios::binary) << "keep me";
    const CliRun refused = cli({"new", file});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(readAll(file), "keep me");
    EXPECT_EQ(cli({"new", file, "--force"}).status, 0);
    EXPECT_EQ(std::filesystem::file_size(file), 144u);
}

TEST_F(CliFiles, ScenarioIsReadAndWrittenBack) {
    const std::string file = fresh("s.trv");
    CliRun r = cli({"--scenario", file, "--seed", "1", "drive", "128", id(random_tables_ids::kSingleDie),
                    id(random_tables_ids::kSingleDie)});
    ASSERT_EQ(r.status, 0) << r.err;
    r = cli({"--scenario", file, "stats"});
    EXPECT_NE(r.out.find("dr  1:0 2:0 3:0 4:0 5:0 6:2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("dr rolls: 2, average 6.000"), std::string::npos) << r.out;
}

TEST_F(CliFiles, ACommandThatChangesNothingWritesNothing) {
    namespace fs = std::filesystem;
    const std::string file = fresh("s.trv");
    std::string bytes = readAll(file);
    bytes[56] = 1; // saved with unsaved changes: loading clears the flag, which is no change
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const auto written = fs::last_write_time(file); // as the file system keeps it
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const CliRun r = cli({"--scenario", file, "show"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json(r).at("scenario").at("changed"), 0);
    EXPECT_EQ(readAll(file), bytes);
    EXPECT_EQ(fs::last_write_time(file), written);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    cli({"--scenario", file, "roll"});
    EXPECT_NE(fs::last_write_time(file), written) << "a roll changes the statistics, which are saved";
}

TEST_F(CliFiles, PathsThatAreNoFilesAreRefusedAtOnce) {
    std::vector<std::string> targets = {folder.string()};
#ifdef _WIN32
    targets.push_back("NUL");
#else
    const std::string fifo = path("pipe.trv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    targets.push_back(fifo); // a pipe without a writer must not block
    targets.push_back("/dev/null");
#endif
    for (const std::string &target : targets) {
        const CliRun r = cli({"--scenario", target, "show"});
        EXPECT_EQ(r.status, 2) << target;
        EXPECT_NE(r.err.find("not a scenario file"), std::string::npos) << r.err;
    }
}

TEST(CliFriendly, CommandsSayWhatTheirNumbersAre) {
    const struct {
        std::vector<std::string> args;
        const char *starts;
    } commands[] = {
        {{"--seed", "1", "roll", "dr"}, "One die: dr = 6\n"},
        {{"--seed", "0", "roll"}, "Two dice: DR = 7\n"},
        {{"lookup", "inf-move", "6"}, "Table: Infantry Movement Directions\nTable roll: DR = 6\n"},
        {{"--seed", "1", "table", "h"}, "Table H: dr = 6, result = 2\n"},
        {{"--seed", "1", "table", "6h"}, "Table H: dr = 6, result = 2\n"},
        {{"--seed", "1", "table", "H"}, "Table H: dr = 6, result = 2\n"},
        {{"--seed", "1", "table", "6H"}, "Table H: dr = 6, result = 2\n"},
        {{"advance"}, "Advance direction: dr = "},
        {{"ntc"}, "Close combat NTC: NTC = "},
        {{"pairings"}, "Close combat pairings: dr = "},
        {{"attack"}, "Close combat attack: dr = "},
        {{"activate"}, "Activation dr: "},
        {{"stats"}, "DR  2:0 3:0 "},
        {{"--version"}, "treva-cli "},
    };
    for (const auto &c : commands) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.status, 0) << c.args.back() << ": " << r.err;
        EXPECT_EQ(r.out.rfind(c.starts, 0), 0u) << r.out;
    }
    EXPECT_NE(cli({"lookup", "ord-veh", "4"}).out.find("possessing MA \u2265 firer\u2019s"), std::string::npos);
    const std::string units = cli({"--seed", "1", "units"}).out;
    EXPECT_EQ(units.find("A1: "), std::string::npos) << "the A1 field names itself";
    EXPECT_NE(units.find("\nA1 DR = "), std::string::npos) << units;
    for (const char *help : {"--help", "-h"}) EXPECT_NE(cli({help}).out.find("drive TEMPLATE"), std::string::npos);
}

// The help's last line: where the player's guide is, or that it is missing.
TEST(Cli, HelpEndsByNamingTheGuide) {
    const std::string guide = "/opt/t r\xC3\xA9va/share/doc/treva/guide/index.html";
    const auto lastLine = [](const std::string &text) {
        const std::size_t start = text.rfind('\n', text.size() - 2);
        return text.substr(start + 1);
    };
    EXPECT_EQ(lastLine(cli({"--help"}, guide).out), "The TREVA Guide, for players: " + guide + "\n");
    EXPECT_EQ(lastLine(cli({"--help"}).out), "The TREVA Guide, for players, is not installed.\n");
}

// The history beside the scenario grows with each command that rolls, and
// reads back as lines or as JSON.
TEST_F(CliFiles, HistoryGrowsWithEachRollAndReadsBack) {
    const std::string file = fresh("h.trv");
    EXPECT_FALSE(std::filesystem::exists(path("h.history.txt"))) << "no history to empty";
    ASSERT_EQ(cli({"--scenario", file, "--seed", "1", "roll", "DR"}).status, 0);
    ASSERT_EQ(cli({"--scenario", file, "table", "6c"}).status, 0);
    const CliRun lines = cli({"--scenario", file, "history"});
    ASSERT_EQ(lines.status, 0) << lines.err;
    ASSERT_EQ(std::count(lines.out.begin(), lines.out.end(), '\n'), 2);
    EXPECT_NE(lines.out.find("Two Dice         6 + 6 = 12"), std::string::npos) << lines.out;
    EXPECT_NE(lines.out.find("Table 6c dr"), std::string::npos) << lines.out;
    const nlohmann::json rows = json(cli({"--scenario", file, "history", "--json"}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at("purpose"), "Two Dice");
    EXPECT_EQ(rows[0].at("kind"), "DR");
    EXPECT_EQ(rows[0].at("dice"), (nlohmann::json{6, 6}));
    EXPECT_EQ(rows[0].at("counted"), true);
    EXPECT_EQ(cli({"history"}).out, "") << "a fresh scenario has rolled nothing";
}

// A damaged history is told by every command that meets it: `history`
// refuses it, a roll keeps it as ".damaged" and begins a new one, told once,
// with nothing lost. Commands that need no history do not read it.
TEST_F(CliFiles, ADamagedHistoryIsKeptAsideAndANewOneBegins) {
    const std::string file = fresh("d.trv");
    const std::string history = path("d.history.txt");
    std::ofstream(history, std::ios::binary) << "not a history\n";
    const CliRun shown = cli({"--scenario", file, "history"});
    EXPECT_EQ(shown.status, 2);
    EXPECT_NE(shown.err.find("cannot read the roll history"), std::string::npos) << shown.err;
    const CliRun show = cli({"--scenario", file, "show"});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.err, "") << "show needs no history";

    const CliRun rolled = cli({"--scenario", file, "--seed", "1", "roll", "dr"});
    EXPECT_EQ(rolled.status, 0) << rolled.err;
    EXPECT_NE(rolled.err.find("it is kept as \"" + history + ".damaged\""), std::string::npos) << rolled.err;
    EXPECT_EQ(readAll(history + ".damaged"), "not a history\n");
    const CliRun lines = cli({"--scenario", file, "history"});
    EXPECT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(std::count(lines.out.begin(), lines.out.end(), '\n'), 1) << lines.out;
    EXPECT_EQ(json(cli({"--scenario", file, "show"})).at("stats").at("oneDieRolls"), 1);

    // A second damaged file does not take the first one's place.
    std::ofstream(history, std::ios::binary) << "TREVA roll history 1\ngarbage\n";
    ASSERT_EQ(cli({"--scenario", file, "roll", "dr"}).status, 0);
    EXPECT_EQ(readAll(history + ".damaged"), "not a history\n");
    EXPECT_EQ(readAll(history + ".damaged-2"), "TREVA roll history 1\ngarbage\n");
}

// A roll is in the history before the scenario counts it: when either file
// cannot be written, neither changes and the command fails, so a script that
// tries again counts the roll once.
TEST_F(CliFiles, ARollWhoseHistoryCannotBeWrittenCountsNowhere) {
    namespace fs = std::filesystem;
    const std::string file = fresh("r.trv"), history = path("r.history.txt");
    ASSERT_EQ(cli({"--scenario", file, "roll"}).status, 0);
    const std::string scenario = readAll(file), rows = readAll(history);
    const auto unchanged = [&](const char *why) {
        EXPECT_EQ(readAll(file), scenario) << why;
        if (fs::is_regular_file(history)) {
            EXPECT_EQ(readAll(history), rows) << why;
        }
    };
    // A read-only history, as on every system.
    fs::permissions(history, fs::perms::owner_read);
    CliRun r = cli({"--scenario", file, "roll"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("read-only"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << "a roll that was not kept is not shown";
    unchanged("read-only history");
    fs::permissions(history, fs::perms::owner_read | fs::perms::owner_write);
    // A read-only scenario.
    fs::permissions(file, fs::perms::owner_read);
    r = cli({"--scenario", file, "roll"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("read-only"), std::string::npos) << r.err;
    unchanged("read-only scenario");
    EXPECT_EQ(cli({"--scenario", file, "show"}).status, 0) << "a read-only scenario is still shown";
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    // A history that is a folder.
    fs::rename(history, path("kept"));
    fs::create_directory(history);
    EXPECT_EQ(cli({"--scenario", file, "roll"}).status, 2);
    unchanged("a folder");
    fs::remove(history);
    fs::rename(path("kept"), history);
#ifndef _WIN32
    // A name too long for the scenario's temporary file: nothing is written,
    // the history neither.
    const std::string longName = path((std::string(245, 'n') + ".trv").c_str());
    fs::copy_file(file, longName);
    r = cli({"--scenario", longName, "roll"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(readAll(longName), scenario);
#endif
    // Both writable again: the roll counts once, with its row.
    ASSERT_EQ(cli({"--scenario", file, "roll"}).status, 0);
    EXPECT_EQ(readAll(history).substr(0, rows.size()), rows) << "the rows are added at the end";
    EXPECT_EQ(json(cli({"--scenario", file, "show"})).at("stats").at("twoDiceRolls"), 2);
}

// A damaged scenario file is refused, its problem named, and left as it is:
// one flipped bit makes a die count negative. Every command reads the file
// the same way; what decoding refuses is the record's own test.
TEST_F(CliFiles, ADamagedScenarioIsRefusedAndLeftAlone) {
    const std::string file = fresh("f.trv");
    std::string bytes = readAll(file);
    bytes[63] = '\x80';
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    const CliRun r = cli({"--scenario", file, "roll"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("damaged scenario: the count of DR 2 rolls is -2147483648"), std::string::npos) << r.err;
    EXPECT_EQ(readAll(file), bytes);
}

// `new` empties only a roll history, and never through a link.
TEST_F(CliFiles, NewEmptiesOnlyARollHistory) {
    namespace fs = std::filesystem;
    const std::string file = path("g.trv");
    const std::string history = path("g.history.txt");
    std::ofstream(history, std::ios::binary) << "my notes\n";
    CliRun r = cli({"new", file});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("is not a roll history"), std::string::npos) << r.err;
    EXPECT_EQ(readAll(history), "my notes\n");
    EXPECT_FALSE(fs::exists(file)) << "nothing is written";
#ifndef _WIN32
    fs::remove(history);
    const std::string elsewhere = path("elsewhere.txt");
    std::ofstream(elsewhere, std::ios::binary) << "TREVA roll history 1\n";
    fs::create_symlink(elsewhere, history);
    r = cli({"new", file});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("is a link"), std::string::npos) << r.err;
    EXPECT_EQ(readAll(elsewhere), "TREVA roll history 1\n");
    fs::remove(history);
#endif
    std::ofstream(history, std::ios::binary)
        << "TREVA roll history 1\n2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n";
    ASSERT_EQ(cli({"new", file}).status, 0);
    EXPECT_EQ(readAll(history), "TREVA roll history 1\n");
}

// The history is a journal: a command with --scenario reads none of it, and
// a roll adds its row at the end; a row cut short by a crash is set aside.
TEST_F(CliFiles, RollsAreAddedAtTheEndAndACutLineIsSetAside) {
    const std::string file = fresh("j.trv"), history = path("j.history.txt");
    ASSERT_EQ(cli({"--scenario", file, "roll"}).status, 0);
    const std::string rows = readAll(history);
    std::ofstream(history, std::ios::binary | std::ios::app) << "2026-12-07 14:05:09\tA1 DR\t4 + ";
    const CliRun listed = cli({"--scenario", file, "history"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.err.find("cut short"), std::string::npos) << listed.err;
    const CliRun rolled = cli({"--scenario", file, "roll", "dr"});
    EXPECT_EQ(rolled.status, 0) << rolled.err;
    EXPECT_NE(rolled.err.find("cut short"), std::string::npos) << rolled.err;
    const std::string after = readAll(history);
    EXPECT_EQ(after.substr(0, rows.size()), rows);
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 3) << after;
    EXPECT_EQ(cli({"--scenario", file, "history"}).err, "");

    // Rows are added, never written again: lines ended the Windows way by an
    // editor stay as they were.
    std::string crlf;
    for (const char c : after) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::ofstream(history, std::ios::binary) << crlf;
    ASSERT_EQ(cli({"--scenario", file, "roll"}).status, 0);
    EXPECT_EQ(readAll(history).substr(0, crlf.size()), crlf);
}

TEST(Cli, StatsChartShowsBarsAndTheFairnessCheck) {
    const CliRun r = cli({"--seed", "3", "stats", "--chart"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Roll at least 180 more times for a fairness check."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Roll at least 30 more times for a fairness check."), std::string::npos) << r.out;
    EXPECT_EQ(cli({"stats", "--bars"}).status, 2);
}

} // namespace
} // namespace treva
