#include <filesystem>
#include <fstream>

#include "actions/priority_tables.h"
#include "activation/activation.h"
#include "resources/ids/about.h"
#include "scratch_folder.h"
#include "session.h"
#include "ui/scenario_files.h"

namespace treva {
namespace {

using testing::Session;

// One window per slot: opening an open one brings it forward as it is, a
// closed one comes back fresh.
TEST(ToolWindows, OneInstancePerSlotBroughtForwardOrComingBackFresh) {
    Session s;
    const WindowId activation = s.open(kCmdActivation);
    const WindowId actions = s.open(kCmdActions);
    EXPECT_EQ(s.ui.activeWindow(), actions);
    s.click(activation, activation_ids::kRoll); // some contents to keep
    const std::string status = s.text(activation, activation_ids::kStatus);
    EXPECT_EQ(s.open(kCmdActivation), activation);
    EXPECT_EQ(s.ui.activeWindow(), activation);
    EXPECT_EQ(s.text(activation, activation_ids::kStatus), status) << "an open window is not initialised again";
    EXPECT_EQ(s.ui.openWindows().size(), 2u);

    for (int command : {kCmdActivation, kCmdActions, kCmdDieStats, kCmdAdvance, kCmdRandomTables}) {
        const WindowId first = s.open(command);
        ASSERT_TRUE(s.ui.closeBox(first)) << command;
        EXPECT_FALSE(s.ui.isOpen(first));
        const WindowId second = s.open(command);
        EXPECT_NE(second, first) << command;
        EXPECT_TRUE(s.ui.isOpen(second));
    }
    // Setup Options has no close box; its OK closes it.
    const WindowId setup = s.open(kCmdSetup);
    EXPECT_FALSE(s.ui.closeBox(setup));
    s.click(setup, kCommandOk);
    EXPECT_FALSE(s.ui.isOpen(setup));
    EXPECT_NE(s.open(kCmdSetup), setup);
}

TEST(ReturnWindow, ClickedWindowReturnsToTheOneItTookOver) {
    Session s;
    const WindowId activation = s.open(kCmdActivation);
    const WindowId actions = s.open(kCmdActions);
    const WindowId advance = s.open(kCmdAdvance);
    EXPECT_EQ(s.app.frame.returnWindow, kNoWindow) << "activation by the program does not count";
    s.ui.clickActivate(activation); // Advance loses activation to a click
    EXPECT_EQ(s.app.frame.returnWindow, advance);
    s.ui.closeBox(activation);
    EXPECT_EQ(s.ui.activeWindow(), advance);
    // The return window stays recorded even once it has closed.
    s.ui.clickActivate(actions);
    EXPECT_EQ(s.app.frame.returnWindow, advance);
    s.ui.closeBox(advance);
    EXPECT_EQ(s.app.frame.returnWindow, advance);
}

TEST(ReturnWindow, DieStatsNeitherRecordsNorReturns) {
    Session s;
    const WindowId actions = s.open(kCmdActions);
    const WindowId stats = s.open(kCmdDieStats);
    const WindowId advance = s.open(kCmdAdvance);
    s.ui.clickActivate(stats);
    EXPECT_EQ(s.app.frame.returnWindow, kNoWindow);
    s.ui.clickActivate(actions); // records Die Stats
    EXPECT_EQ(s.app.frame.returnWindow, stats);
    s.ui.clickActivate(advance);
    EXPECT_EQ(s.app.frame.returnWindow, actions);
    s.ui.clickActivate(stats);
    s.ui.closeBox(stats);
    EXPECT_NE(s.ui.activeWindow(), actions) << "closing Die Stats does not go back";
}

TEST(Refresh, TouchesExactlyActivationActionsAndAdvance) {
    Session s;
    refreshToolWindows(s.app);
    EXPECT_TRUE(s.ui.openWindows().empty()) << "opens none";
    const WindowId activation = s.open(kCmdActivation);
    const WindowId actions = s.open(kCmdActions);
    const WindowId advance = s.open(kCmdAdvance);
    const WindowId stats = s.open(kCmdDieStats);
    const WindowId setup = s.open(kCmdSetup);
    rollDice(s.state(), 2, 6, "Two Dice");
    s.scenario().nationality = 2;
    s.scenario().acNumber = 5;
    s.scenario().mapOrientation = 1;
    s.scenario().msr = 1;
    refreshToolWindows(s.app);
    EXPECT_TRUE(s.shows(activation, {{activation_ids::kSummary, formatScenarioSummary(s.scenario())},
                                     {activation_ids::kAcField, "5"},
                                     {activation_ids::kConditions, activationConditionsText(2)}}));
    EXPECT_EQ(s.text(actions, actions_ids::kSummary), formatScenarioSummary(s.scenario()));
    EXPECT_EQ(s.image(actions, actions_ids::kPicture), directionKeyBitmap(1));
    EXPECT_EQ(s.image(advance, advance_ids::kPicture), directionKeyBitmap(1));
    EXPECT_EQ(s.text(stats, die_stats_ids::kTwoDiceTotal), "0") << "Die Stats shows what it showed";
    EXPECT_EQ(s.selection(setup, setup_ids::kNationalityList), 1) << "Setup Options shows what it showed";
    EXPECT_EQ(s.selection(setup, setup_ids::kMsrList), 2);
}

struct StartUp : ::testing::Test, testing::ScratchFolder {
    Session s;
    std::vector<int> boxes;

    void SetUp() override {
        s.ui.onModal = [this](WindowId box) {
            boxes.push_back(s.ui.window(box)->dialog->id);
            s.ui.click(box, kCommandOk); // OK, Enough
        };
    }
};

// A path that cannot be read is told; then, as with no path at all, the
// Setup Options box is asked for.
TEST_F(StartUp, WithoutAReadablePathAsksForTheSetup) {
    startUp(s.app, path("missing.trv"));
    EXPECT_TRUE(s.toldOnce({"missing.trv"}));
    EXPECT_EQ(boxes, (std::vector<int>{kAboutDialog, kNoticeDialog, kSetupDialog}));
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSave]);
    EXPECT_FALSE(s.ui.menuEnabled[kCmdSaveAs]);
    EXPECT_EQ(toolWindow(s.app, ToolSlot::Setup), kNoWindow) << "the start-up box fills no slot";
    const WindowId activation = toolWindow(s.app, ToolSlot::Activation);
    ASSERT_NE(activation, kNoWindow);
    EXPECT_TRUE(s.ui.isOpen(activation));
    EXPECT_EQ(s.ui.frameCaption, kUntitledCaption);
}

TEST_F(StartUp, WithAPathLoadsTheScenario) {
    ScenarioState saved = s.scenario();
    saved.nationality = 3;
    saved.acNumber = 4;
    std::string error;
    const std::string file = path("june.trv");
    ASSERT_TRUE(writeScenarioFile(file, saved, error)) << error;
    startUp(s.app, file);
    EXPECT_EQ(boxes, (std::vector<int>{kAboutDialog, kNoticeDialog}));
    EXPECT_EQ(s.scenario().nationality, 3);
    EXPECT_EQ(s.ui.frameCaption, "TREVA! (june)");
    EXPECT_FALSE(s.ui.menuEnabled[kCmdSave]);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSaveAs]);
    EXPECT_EQ(s.text(toolWindow(s.app, ToolSlot::Activation), activation_ids::kAcField), "4");
    EXPECT_TRUE(s.app.frame.currentFilePath.empty()) << "the first Save asks for a name";
}

// A scenario kept between two visits (the browser's) is taken up without the
// Setup Options box, as the file it came from, or untitled, with what was
// last saved still telling the unsaved changes.
TEST_F(StartUp, KeptScenarioIsTakenUpAsItsFileOrUntitled) {
    ScenarioState kept = s.scenario();
    kept.acNumber = 5;
    std::string error;
    const std::string keptPath = path("scenario.trv");
    ASSERT_TRUE(writeScenarioFile(keptPath, kept, error)) << error;
    ScenarioState saved = kept;
    saved.acNumber = 2;

    startUpKept(s.app, {keptPath, "june.trv", encodeScenario(saved)});
    EXPECT_EQ(boxes, (std::vector<int>{kAboutDialog, kNoticeDialog}));
    EXPECT_EQ(s.scenario().acNumber, 5);
    EXPECT_EQ(s.app.frame.currentFilePath, "june.trv");
    EXPECT_EQ(s.ui.frameCaption, "TREVA! (june)");
    EXPECT_TRUE(hasUnsavedChanges(s.app)) << "kept after the last save, so not saved";
    EXPECT_TRUE(s.ui.frameModified);

    Session untitled;
    untitled.ui.onModal = [&untitled](WindowId box) { untitled.ui.click(box, kCommandOk); };
    startUpKept(untitled.app, {keptPath, "", std::nullopt});
    EXPECT_EQ(untitled.scenario().acNumber, 5);
    EXPECT_EQ(untitled.ui.frameCaption, kUntitledCaption);
    EXPECT_TRUE(untitled.app.frame.currentFilePath.empty());
    EXPECT_TRUE(untitled.ui.menuEnabled[kCmdSave]) << "Save asks for a name, as after the Setup Options box";
    EXPECT_FALSE(untitled.ui.menuEnabled[kCmdSaveAs]);
    EXPECT_FALSE(hasUnsavedChanges(untitled.app));
}

// The command shows the About box, then the notice; each program's notice
// names the toolkit it was made with, treva-cli's none.
TEST(AboutBoxes, AboutThenTheNoticeNamingTheProgramsOwnToolkit) {
    for (const char *builtWith : {"", "for Windows", "with Qt"}) {
        Session s;
        s.app.builtWith = builtWith;
        std::string said;
        std::vector<int> boxes;
        s.ui.onModal = [&](WindowId box) {
            boxes.push_back(s.ui.window(box)->dialog->id);
            if (boxes.back() == kNoticeDialog) said = s.ui.text(box, about_ids::kBuiltWith);
            s.ui.escape(box); // Escape ends a modal box
            EXPECT_FALSE(s.ui.isOpen(box));
        };
        frameCommand(s.app, kCmdAbout);
        EXPECT_EQ(boxes, (std::vector<int>{kAboutDialog, kNoticeDialog}));
        const std::string expected =
            *builtWith ? std::string("Written in C++ ") + builtWith + " by" : std::string("Written in C++ by");
        EXPECT_EQ(said.rfind(expected, 0), 0u) << said;
        EXPECT_EQ(said.find("Qt") != std::string::npos, std::string(builtWith) == "with Qt") << said;
    }
}

// Help > TREVA Guide tells the player where the guide should be when it is
// nowhere, and which guide no browser would take.
TEST(Frame, AGuideThatCannotBeShownIsReported) {
    Session s;
    const testing::ScratchFolder scratch;
    std::filesystem::create_directories(scratch.folder / "guide");
    const std::string installed = scratch.path("share/index.html");
    const std::string beside = scratch.path("guide/index.html");
    s.app.guidePlaces = {installed, beside};

    frameCommand(s.app, kCmdGuide);
    EXPECT_TRUE(s.toldOnce({"not installed", installed + "\n" + beside})) << "every place, in order";
    EXPECT_TRUE(s.ui.documentsOpened.empty());

    std::ofstream(beside) << "<html></html>";
    s.ui.documentsOpen = false; // no browser
    frameCommand(s.app, kCmdGuide);
    EXPECT_EQ(s.ui.documentsOpened, std::vector<std::string>{beside});
    EXPECT_TRUE(s.toldOnce({beside}));
}

TEST(Frame, CommandLinePathIsJoinedAndUnquoted) {
    const char *split[] = {"treva", "C:\\My", "Scenarios\\june.trv"};
    EXPECT_EQ(commandLinePath(3, split), "C:\\My Scenarios\\june.trv");
    const char *quoted[] = {"treva", "\"/home/a b/june.trv\""};
    EXPECT_EQ(commandLinePath(2, quoted), "/home/a b/june.trv");
    const char *none[] = {"treva"};
    EXPECT_EQ(commandLinePath(1, none), "");
}

} // namespace
} // namespace treva
