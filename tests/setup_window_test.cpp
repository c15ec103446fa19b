#include "session.h"
#include "windows/setup_window.h"

namespace treva {
namespace {

using testing::Session;

TEST(SetupWindow, OpensOnTheScenario) {
    Session s;
    const WindowId w = s.open(kCmdSetup);
    EXPECT_TRUE(s.checked(w, 1019)); // AC# 3
    EXPECT_FALSE(s.checked(w, 1018));
    EXPECT_TRUE(s.checked(w, 1022)); // Hold
    EXPECT_TRUE(s.checked(w, 1027)); // flat-topped hexes
    EXPECT_EQ(s.text(w, 1036), "1939");
    EXPECT_EQ(s.text(w, 1037), "January");
    EXPECT_EQ(s.text(w, 1024), "No MSR Modifier");
    EXPECT_EQ(s.text(w, 1008), "vs. Russian");
    EXPECT_EQ(s.ui.control(w, 1036)->items.size(), 7u) << "1946 is not offered";
    EXPECT_EQ(s.ui.control(w, 1037)->items.size(), 12u);
    EXPECT_EQ(s.ui.control(w, 1008)->items.size(), 8u);
}

TEST(SetupWindow, ImmediateControlsWriteAtOnce) {
    Session s;
    s.scenario().a1Modifier = 4;
    s.scenario().a5Modifier = -1;
    const WindowId w = s.open(kCmdSetup);
    s.choose(w, 1024, 3); // Plus 1
    EXPECT_EQ(s.scenario().msr, 1);
    EXPECT_EQ(s.scenario().a1Modifier, 0);
    EXPECT_EQ(s.scenario().a5Modifier, 0);
    s.click(w, 1021);
    EXPECT_EQ(s.scenario().acNumber, 5);
    EXPECT_FALSE(s.checked(w, 1019));
    s.click(w, 1023);
    EXPECT_EQ(s.scenario().attitude, 1);
    s.click(w, 1028);
    EXPECT_EQ(s.scenario().mapOrientation, 1);
    EXPECT_TRUE(s.checked(w, 1021)) << "groups are separate";
    EXPECT_EQ(s.scenario().changed, 0) << "only OK runs the change check";
}

TEST(SetupWindow, OkStoresTheDateWithItsFloorAndRefreshes) {
    Session s;
    const WindowId actions = s.open(kCmdActions);
    WindowId w = s.open(kCmdSetup);
    s.choose(w, 1008, 6); // vs. British (ETO, D-Day+)
    s.choose(w, 1036, 2); // 1941
    s.choose(w, 1037, 2); // March
    s.click(w, 1028);
    EXPECT_EQ(s.scenario().nationality, 1) << "lists are read on OK";
    s.click(w, kCommandOk);
    EXPECT_FALSE(s.ui.isOpen(w));
    EXPECT_EQ(s.scenario().nationality, 6);
    EXPECT_EQ(s.scenario().yearIndex, 9);
    EXPECT_EQ(s.scenario().month, 6);
    EXPECT_EQ(s.scenario().changed, 1);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSave]);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSaveAs]);
    EXPECT_EQ(s.text(actions, 1051), "vs. British (ETO, D-Day+)\rJune, 1944\rHold Attitude\rMSR = 0");
    EXPECT_EQ(s.image(actions, 1090), 119);
    w = s.open(kCmdSetup);
    EXPECT_EQ(s.text(w, 1036), "1944");
    EXPECT_EQ(s.text(w, 1037), "June");
}

TEST(SetupWindow, OkWithoutChangesLeavesTheMenuAlone) {
    Session s;
    adoptLoadedScenario(s.state(), s.scenario());
    s.ui.menuEnabled[kCmdSave] = false;
    s.ui.menuEnabled[kCmdSaveAs] = true;
    const WindowId w = s.open(kCmdSetup);
    s.click(w, kCommandOk);
    EXPECT_EQ(s.scenario().changed, 0);
    EXPECT_FALSE(s.ui.menuEnabled[kCmdSave]);
}

TEST(SetupWindow, EscapeInTheStartUpBoxKeepsImmediateChangesOnly) {
    Session s;
    const WindowId activation = s.open(kCmdActivation);
    s.ui.onModal = [&](WindowId box) {
        s.click(box, 1020); // AC# 4
        s.choose(box, 1008, 3);
        s.ui.escape(box);
        EXPECT_FALSE(s.ui.isOpen(box));
    };
    s.ui.runModal(kSetupDialog, s.ui.frame(), bindProc(s.app, setupWindowProc));
    EXPECT_EQ(s.scenario().acNumber, 4);
    EXPECT_EQ(s.scenario().nationality, 1);
    EXPECT_EQ(s.scenario().changed, 0);
    EXPECT_EQ(s.text(activation, 1085), "3") << "no refresh without OK";
    EXPECT_EQ(toolWindow(s.app, ToolSlot::Setup), kNoWindow);
}

TEST(SpecialWindow, OpensWithTheModifiersSelected) {
    Session s;
    const WindowId setup = s.open(kCmdSetup);
    s.ui.onModal = [&](WindowId box) {
        EXPECT_EQ(s.text(box, 1094), "0");
        EXPECT_EQ(s.text(box, 1095), "0");
        EXPECT_FALSE(s.checked(box, 1003));
        EXPECT_EQ(s.ui.window(box)->focus, 1094);
        EXPECT_TRUE(s.ui.window(box)->focusTextSelected);
        s.ui.escape(box);
    };
    s.click(setup, 1000);
}

TEST(SpecialWindow, NumbersAreReadLikeTheBoxShowsThem) {
    const struct {
        const char *text;
        int32_t value;
    } cases[] = {
        {"2", 2},
        {" -1", -1},
        {"3x", 3},
        {"abc", 0},
        {"", 0},
        {"+7", 7},
        {"\t\t12", 12},
        {"1234567890", 123456789},
        {"-99999999", -99999999},
        {"--5", 0},
        {"999999999", 999999999},
        {"          5", 0}, // the digits lie beyond the first nine characters
    };
    for (const auto &c : cases) EXPECT_EQ(parseModifierText(c.text), c.value) << '"' << c.text << '"';
}

TEST(SpecialWindow, OkStoresModifiersAndClearsTheMsr) {
    Session s;
    s.scenario().msr = -1;
    const WindowId setup = s.open(kCmdSetup);
    s.ui.onModal = [&](WindowId box) {
        ASSERT_TRUE(s.ui.type(box, 1094, "2"));
        ASSERT_TRUE(s.ui.type(box, 1095, " -1"));
        s.click(box, kCommandOk);
    };
    s.click(setup, 1000);
    EXPECT_EQ(s.scenario().a1Modifier, 2);
    EXPECT_EQ(s.scenario().a5Modifier, -1);
    EXPECT_EQ(s.scenario().msr, 0);
    EXPECT_EQ(s.text(setup, 1024), "No MSR Modifier");
}

TEST(SpecialWindow, ZeroModifiersLeaveTheMsr) {
    Session s;
    s.scenario().msr = 2;
    const WindowId setup = s.open(kCmdSetup);
    s.ui.onModal = [&](WindowId box) { s.click(box, kCommandOk); };
    s.click(setup, 1000);
    EXPECT_EQ(s.scenario().msr, 2);
    EXPECT_EQ(s.text(setup, 1024), "Plus 2");
}

TEST(SpecialWindow, EscapeKeepsTheCheckBoxButNotTheTyping) {
    Session s;
    s.scenario().a5Modifier = 3;
    s.scenario().msr = 0;
    const WindowId setup = s.open(kCmdSetup);
    s.ui.setSelection(setup, 1024, 4); // stale display, corrected after the box
    s.ui.onModal = [&](WindowId box) {
        s.click(box, 1003);
        EXPECT_TRUE(s.checked(box, 1003));
        s.ui.type(box, 1094, "5");
        s.ui.escape(box);
    };
    s.click(setup, 1000);
    EXPECT_EQ(s.scenario().fortificationEvenDr, 1);
    EXPECT_EQ(s.scenario().a1Modifier, 0);
    EXPECT_EQ(s.scenario().a5Modifier, 3);
    EXPECT_EQ(s.text(setup, 1024), "No MSR Modifier") << "the MSR item is chosen again";
}

} // namespace
} // namespace treva
