#include <algorithm>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "activation/activation.h"
#include "scratch_folder.h"
#include "session.h"
#include "ui/scenario_files.h"

namespace treva {
namespace {

using testing::readAll;
using testing::Session;
namespace fs = std::filesystem;

struct Files : ::testing::Test, testing::ScratchFolder {
    Session s;
    std::vector<std::string> asked; // names the file dialogs started from
    std::optional<std::string> answer;

    Files() {
        s.ui.onFileDialog = [this](bool, std::string_view name) {
            asked.emplace_back(name);
            return answer;
        };
    }

    // Save As through the dialog, answered with `file`.
    void saveAs(const std::string &file) {
        answer = file;
        frameCommand(s.app, kCmdSaveAs);
    }
    // Open through the dialog, answered with `file`; unsaved changes are
    // given up when asked about.
    void open(const std::string &file) {
        answer = file;
        s.ui.saveAnswers = {WindowLayer::SaveAnswer::DontSave};
        frameCommand(s.app, kCmdOpen);
    }
};

// Any name works: UTF-8, as the program keeps file names (a mill, a snowman
// and a die).
TEST_F(Files, SaveThenOpenRestoresAllBytesUnderAnyName) {
    // Joined as bytes: a narrow name given to a path is the system's code page on Windows.
    const std::string file = (folder / "").string() + "M\xC3\xBChle \xE2\x98\x83 \xF0\x9F\x8E\xB2.trv";
    const std::string caption = "TREVA! (M\xC3\xBChle \xE2\x98\x83 \xF0\x9F\x8E\xB2)";
    rollDice(s.state(), 2, 6, "Two Dice");
    rollDice(s.state(), 1, 6, "Single Die");
    s.scenario().reserved20 = 0x12345678;
    s.scenario().reserved37[1] = 0xEE;
    s.scenario().reserved58[0] = 0x44;
    s.scenario().changed = 1;
    s.scenario().nationality = 7;
    const ScenarioBytes before = encodeScenario(s.scenario());
    saveAs(file);
    EXPECT_TRUE(s.ui.errors.empty()) << s.ui.errors.front();
    EXPECT_EQ(asked.back(), formatScenarioFileName(s.scenario()));
    const std::string written = readAll(filePath(file));
    ASSERT_EQ(written.size(), 144u);
    EXPECT_EQ(written, std::string(before.begin(), before.end())) << "changed is written as it stood";
    EXPECT_EQ(s.scenario().changed, 0);
    EXPECT_EQ(s.ui.frameCaption, caption);

    Session other;
    other.ui.onFileDialog = [&](bool, std::string_view) { return std::optional<std::string>(file); };
    frameCommand(other.app, kCmdOpen);
    ScenarioBytes expected = before;
    expected[56] = 0;
    EXPECT_EQ(encodeScenario(other.scenario()), expected);
    EXPECT_EQ(encodeScenario(other.state().snapshot), expected);
    EXPECT_EQ(other.app.frame.currentFilePath, file);
    EXPECT_EQ(other.ui.frameCaption, caption);
}

// The menu follows every file event; a cancelled dialog changes nothing.
TEST_F(Files, MenuItemsFollowEveryEventAndCancelledDialogsChangeNothing) {
    s.ui.menuEnabled = {{kCmdSave, true}, {kCmdSaveAs, false}}; // after a start without a file
    // Save with no current file runs Save As; cancelled, Save is grayed anyway.
    answer.reset();
    frameCommand(s.app, kCmdSave);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_FALSE(s.ui.menuEnabled[kCmdSave]);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSaveAs]);
    EXPECT_TRUE(s.app.frame.currentFilePath.empty()) << "a cancelled Save As keeps the old path";

    s.ui.menuEnabled = {{kCmdSave, true}, {kCmdSaveAs, false}};
    saveAs(path("a.trv"));
    EXPECT_FALSE(s.ui.menuEnabled[kCmdSave]);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSaveAs]);
    answer.reset();
    frameCommand(s.app, kCmdSaveAs);
    EXPECT_EQ(s.app.frame.currentFilePath, path("a.trv"));
    s.scenario().acNumber = 5;
    s.ui.saveAnswers = {WindowLayer::SaveAnswer::DontSave};
    frameCommand(s.app, kCmdOpen);
    EXPECT_EQ(asked.back(), path("a.trv")) << "Open starts from the current file";
    EXPECT_EQ(s.scenario().acNumber, 5);

    // With a current file, Save writes it without asking.
    s.ui.menuEnabled[kCmdSave] = true;
    asked.clear();
    rollDice(s.state(), 1, 6, "Single Die");
    frameCommand(s.app, kCmdSave);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(uint8_t(readAll(path("a.trv"))[132]), 1) << "the dr is in the file";
    EXPECT_FALSE(s.ui.menuEnabled[kCmdSave]);

    // Open grays Save.
    s.ui.menuEnabled[kCmdSave] = true;
    open(path("a.trv"));
    EXPECT_FALSE(s.ui.menuEnabled[kCmdSave]);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSaveAs]);
}

TEST_F(Files, CaptionFromTheFileName) {
    const struct {
        const char *path, *caption;
    } cases[] = {
        {"C:\\games\\june.trv", "TREVA! (june)"},
        {"/home/p/june.trv", "TREVA! (june)"},
        {"june.trv", "TREVA! (june)"},
        {"/x/.trv", "TREVA! ()"},
        {"/x/abc", "TREVA! (abc)"},
        {"/x/JUNE.TRV", "TREVA! (JUNE)"},
        {"/x/scenario.backup", "TREVA! (scenario.backup)"}, // only ".trv" is left out
    };
    for (const auto &c : cases) EXPECT_EQ(frameTitleFor(c.path), c.caption) << c.path;
    const std::string longName(300, 'n');
    EXPECT_EQ(frameTitleFor("/x/" + longName + ".trv"), "TREVA! (" + longName + ")") << "shown whole";
}

struct FailedSave {
    const char *name;
    std::string target;
};

TEST_F(Files, FailedSavesAreReportedAndChangeNothing) {
    saveAs(path("good.trv"));
    const std::string good = readAll(path("good.trv"));
    s.scenario().acNumber = 2;
    s.scenario().changed = 1;
    s.ui.menuEnabled[kCmdSave] = true;
    std::vector<FailedSave> failures = {
        {"missing folder", path("no-such-folder/x.trv")},
        {"read-only file system", "/proc/treva-test.trv"},
        {"full device", "/dev/full"},
    };
    std::vector<std::string> left = {"good.trv"};
#ifdef _WIN32
    // Files Windows keeps from us: a read-only one, and one that another
    // program has open and shares with nobody.
    for (const char *name : {"held.trv", "read-only.trv"}) {
        std::ofstream(path(name), std::ios::binary) << "old";
        failures.push_back({name, path(name)});
        left.push_back(name);
    }
    fs::permissions(path("read-only.trv"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const HANDLE holder = CreateFileW(fs::path(path("held.trv")).wstring().c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
#endif
    for (const FailedSave &f : failures) {
        if (f.target == "/dev/full" && !fs::exists("/dev/full")) continue;
        saveAs(f.target);
        EXPECT_TRUE(s.toldOnce({f.target})) << f.name;
        EXPECT_EQ(s.scenario().changed, 1) << f.name;
        EXPECT_EQ(s.app.frame.currentFilePath, path("good.trv")) << f.name;
        EXPECT_EQ(s.ui.frameCaption, "TREVA! (good)") << f.name;
        EXPECT_TRUE(s.ui.menuEnabled[kCmdSave]) << f.name;
    }
#ifdef _WIN32
    CloseHandle(holder);
    fs::permissions(path("read-only.trv"), fs::perms::owner_write, fs::perm_options::add); // to be removed
    EXPECT_EQ(readAll(path("held.trv")) + readAll(path("read-only.trv")), "oldold");
#endif
    EXPECT_EQ(readAll(path("good.trv")), good);
    std::vector<std::string> found;
    for (const auto &entry : fs::directory_iterator(folder)) found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, left) << "no temporary file is left behind";
}

TEST_F(Files, DamagedFilesAreRefusedAndChangeNothing) {
    const ScenarioBytes fresh = encodeScenario(s.scenario());
    std::string outOfRange(fresh.begin(), fresh.end());
    outOfRange[12] = 13; // month
    const struct {
        const char *name;
        std::string bytes;
        const char *problem;
    } files[] = {
        {"short.trv", std::string(fresh.begin(), fresh.begin() + 100), "100"},
        {"long.trv", std::string(fresh.begin(), fresh.end()) + "x", "145"},
        {"month.trv", outOfRange, "month"},
    };
    s.scenario().msr = 2;
    const ScenarioBytes before = encodeScenario(s.scenario());
    for (const auto &f : files) {
        std::ofstream(path(f.name), std::ios::binary) << f.bytes;
        open(path(f.name));
        EXPECT_TRUE(s.toldOnce({f.name, f.problem}));
        EXPECT_EQ(encodeScenario(s.scenario()), before) << f.name;
        EXPECT_TRUE(s.app.frame.currentFilePath.empty());
    }
}

TEST_F(Files, OpeningANewNameCreatesTheFile) {
    // The open dialog asks before it returns a name that does not exist.
    s.scenario().acNumber = 5;
    s.scenario().changed = 1;
    open(path("new.trv"));
    EXPECT_TRUE(s.ui.errors.empty());
    ScenarioState written{};
    std::string error;
    ASSERT_TRUE(readScenarioFile(path("new.trv"), written, error)) << error;
    EXPECT_EQ(written.acNumber, 5);
    EXPECT_EQ(s.app.frame.currentFilePath, path("new.trv"));
    EXPECT_EQ(s.ui.frameCaption, "TREVA! (new)");
    EXPECT_EQ(s.scenario().changed, 0);

    // A name without an ending gets the scenario files' own.
    open(path("newgame"));
    EXPECT_TRUE(fs::is_regular_file(path("newgame.trv")));
    EXPECT_FALSE(fs::exists(path("newgame")));
    EXPECT_EQ(s.app.frame.currentFilePath, path("newgame.trv"));
    EXPECT_EQ(s.ui.frameCaption, "TREVA! (newgame)");

    open(path("no-such-folder/new.trv"));
    EXPECT_TRUE(s.toldOnce({path("no-such-folder/new.trv")})) << "a file that cannot be created is reported";
    EXPECT_EQ(s.app.frame.currentFilePath, path("newgame.trv"));
}

TEST_F(Files, LoadRefreshesOpenWindows) {
    ScenarioState other = s.scenario();
    other.nationality = 4;
    other.stats.oneDieCounts[1] = 9;
    other.stats.oneDieRolls = 9;
    other.stats.oneDieSum = 18;
    std::string error;
    ASSERT_TRUE(writeScenarioFile(path("p.trv"), other, error)) << error;
    const WindowId activation = s.open(kCmdActivation);
    const WindowId stats = s.open(kCmdDieStats);
    open(path("p.trv"));
    EXPECT_EQ(s.text(activation, activation_ids::kConditions), activationConditionsText(4));
    EXPECT_EQ(s.text(stats, die_stats_ids::kOneDieTotal), "9");
}

TEST_F(Files, UnsavedChangesAreAskedAboutBeforeTheScenarioIsGivenUp) {
    using Answer = WindowLayer::SaveAnswer;
    // Untitled, Save runs Save As: cancelled, or to a file that cannot be
    // written, it keeps the program open.
    s.scenario().msr = 1;
    for (const std::optional<std::string> &file : {std::optional<std::string>(), std::optional(path("no/x.trv"))}) {
        answer = file;
        s.ui.saveAnswers = {Answer::Save};
        frameCommand(s.app, kCmdExit);
        EXPECT_FALSE(s.ui.frameClosed());
        EXPECT_TRUE(s.ui.frameModified);
    }
    EXPECT_TRUE(s.toldOnce({path("no/x.trv")}));

    saveAs(path("june.trv"));
    EXPECT_FALSE(s.ui.frameModified);
    // A roll alone is a change: the statistics are saved with the scenario.
    const WindowId random = s.open(kCmdRandomTables);
    s.click(random, random_tables_ids::kSingleDie);
    EXPECT_TRUE(s.ui.frameModified);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSave]);
    const std::string saved = readAll(path("june.trv"));

    // Cancel keeps everything as it was, for Exit and for Open alike.
    for (int command : {kCmdExit, kCmdOpen}) {
        s.ui.saveAnswers = {Answer::Cancel};
        asked.clear();
        frameCommand(s.app, command);
        EXPECT_FALSE(s.ui.frameClosed());
        EXPECT_TRUE(asked.empty()) << "no open dialog after Cancel";
        EXPECT_TRUE(s.ui.frameModified);
    }
    EXPECT_EQ(s.ui.saveQuestions, (std::vector<std::string>{"Untitled", "Untitled", "june", "june"}));
    EXPECT_EQ(readAll(path("june.trv")), saved);

    // Save writes the file, then Exit goes on.
    s.ui.saveAnswers = {Answer::Save};
    frameCommand(s.app, kCmdExit);
    EXPECT_TRUE(s.ui.frameClosed());
    EXPECT_NE(readAll(path("june.trv")), saved);
    EXPECT_FALSE(s.ui.frameModified);

    // Don't Save goes on and writes nothing.
    Session other;
    other.scenario().acNumber = 5;
    other.ui.saveAnswers = {Answer::DontSave};
    frameCommand(other.app, kCmdExit);
    EXPECT_TRUE(other.ui.frameClosed());
    EXPECT_EQ(other.ui.saveQuestions, (std::vector<std::string>{"Untitled"}));

    // Without changes nothing is asked; the tool windows close with the frame.
    Session unchanged;
    const WindowId actions = unchanged.open(kCmdActions);
    frameCommand(unchanged.app, kCmdExit);
    EXPECT_TRUE(unchanged.ui.frameClosed());
    EXPECT_FALSE(unchanged.ui.isOpen(actions));
    EXPECT_TRUE(unchanged.ui.saveQuestions.empty());
}

#ifndef _WIN32
TEST_F(Files, SavingKeepsALinkAndTheFileMode) {
    saveAs(path("real.trv"));
    fs::permissions(path("real.trv"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(path("real.trv"), path("link.trv"));
    rollDice(s.state(), 2, 6, "Two Dice");
    saveAs(path("link.trv"));
    EXPECT_TRUE(fs::is_symlink(path("link.trv")));
    EXPECT_EQ(uint8_t(readAll(path("real.trv"))[128]), 1);
    EXPECT_EQ(fs::status(path("real.trv")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A program started with every permission masked off still saves files
    // its owner can open again.
    const mode_t mask = ::umask(0777);
    saveAs(path("masked.trv"));
    ::umask(mask);
    EXPECT_EQ(fs::status(path("masked.trv")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(s.ui.errors.empty());
    saveAs(path("masked.trv"));
    EXPECT_TRUE(s.ui.errors.empty()) << "saved again: " << s.ui.errors[0];
}

#endif

} // namespace
} // namespace treva
