#include "actions/priority_tables.h"
#include "session.h"
#include "ui/setup_window.h"

namespace treva {
namespace {

using namespace setup_ids;
using testing::Session;
namespace special = special_ids;

// The window opens on the scenario; its buttons and the MSR list write to it
// at once, the other lists only on OK.
TEST(SetupWindow, OpensOnTheScenarioAndItsButtonsWriteAtOnce) {
    Session s;
    s.scenario().a1Modifier = 4;
    s.scenario().a5Modifier = -1;
    const WindowId w = s.open(kCmdSetup);
    EXPECT_TRUE(s.checked(w, kAc3));
    EXPECT_FALSE(s.checked(w, kAc2));
    EXPECT_TRUE(s.checked(w, kHold));
    EXPECT_TRUE(s.checked(w, kFlatHexes));
    EXPECT_TRUE(s.shows(w, {{kYearList, "1939"},
                            {kMonthList, "January"},
                            {kMsrList, "No MSR Modifier"},
                            {kNationalityList, "vs. Russian"}}));
    EXPECT_EQ(s.ui.control(w, kYearList)->items.size(), 7u) << "1946 is not offered";
    EXPECT_EQ(s.ui.control(w, kMonthList)->items.size(), 12u);
    EXPECT_EQ(s.ui.control(w, kNationalityList)->items.size(), 8u);

    s.choose(w, kMsrList, 3); // Plus 1
    EXPECT_EQ(s.scenario().msr, 1);
    EXPECT_EQ(s.scenario().a1Modifier, 0);
    EXPECT_EQ(s.scenario().a5Modifier, 0);
    s.click(w, kAc5);
    EXPECT_EQ(s.scenario().acNumber, 5);
    EXPECT_FALSE(s.checked(w, kAc3));
    s.click(w, kAdvance);
    EXPECT_EQ(s.scenario().attitude, 1);
    s.click(w, kPointedHexes);
    EXPECT_EQ(s.scenario().mapOrientation, 1);
    EXPECT_TRUE(s.checked(w, kAc5)) << "groups are separate";
    EXPECT_EQ(s.scenario().changed, 0) << "only OK runs the change check";
}

TEST(SetupWindow, OkStoresTheDateWithItsFloorAndRefreshes) {
    Session s;
    const WindowId actions = s.open(kCmdActions);
    WindowId w = s.open(kCmdSetup);
    s.choose(w, kNationalityList, 6); // vs. British (ETO, D-Day+)
    s.choose(w, kYearList, 2);        // 1941
    s.choose(w, kMonthList, 2);       // March
    s.click(w, kPointedHexes);
    EXPECT_EQ(s.scenario().nationality, 1) << "lists are read on OK";
    s.click(w, kOk);
    EXPECT_FALSE(s.ui.isOpen(w));
    EXPECT_EQ(s.scenario().nationality, 6);
    EXPECT_EQ(s.scenario().yearIndex, 9);
    EXPECT_EQ(s.scenario().month, 6);
    EXPECT_EQ(s.scenario().changed, 1);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSave]);
    EXPECT_TRUE(s.ui.menuEnabled[kCmdSaveAs]);
    EXPECT_EQ(s.text(actions, actions_ids::kSummary), formatScenarioSummary(s.scenario()));
    EXPECT_EQ(s.image(actions, actions_ids::kPicture), directionKeyBitmap(1));
    w = s.open(kCmdSetup);
    EXPECT_TRUE(s.shows(w, {{kYearList, "1944"}, {kMonthList, "June"}}));
}

TEST(SetupWindow, OkWithoutChangesLeavesTheMenuAlone) {
    Session s;
    adoptLoadedScenario(s.state(), s.scenario());
    s.ui.menuEnabled[kCmdSave] = false;
    s.ui.menuEnabled[kCmdSaveAs] = true;
    const WindowId w = s.open(kCmdSetup);
    s.click(w, kOk);
    EXPECT_EQ(s.scenario().changed, 0);
    EXPECT_FALSE(s.ui.menuEnabled[kCmdSave]);
}

TEST(SetupWindow, EscapeInTheStartUpBoxKeepsImmediateChangesOnly) {
    Session s;
    const WindowId activation = s.open(kCmdActivation);
    s.ui.onModal = [&](WindowId box) {
        s.click(box, kAc4);
        s.choose(box, kNationalityList, 3);
        s.ui.escape(box);
        EXPECT_FALSE(s.ui.isOpen(box));
    };
    s.ui.runModal(kSetupDialog, s.ui.frame(), bindProc(s.app, setupWindowProc));
    EXPECT_EQ(s.scenario().acNumber, 4);
    EXPECT_EQ(s.scenario().nationality, 1);
    EXPECT_EQ(s.scenario().changed, 0);
    EXPECT_EQ(s.text(activation, activation_ids::kAcField), "3") << "no refresh without OK";
    EXPECT_EQ(toolWindow(s.app, ToolSlot::Setup), kNoWindow);
}

TEST(SpecialWindow, NumbersAreReadLikeTheBoxShowsThem) {
    const struct {
        const char *text;
        int32_t value;
    } cases[] = {
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

// OK stores the typed modifiers; any that is not zero clears the MSR.
TEST(SpecialWindow, OkStoresModifiersAndOnlyNonZeroOnesClearTheMsr) {
    const struct {
        const char *a1, *a5;
        int32_t a1Stored, a5Stored, msr;
        const char *msrShown;
    } cases[] = {{"2", " -1", 2, -1, 0, "No MSR Modifier"}, {"0", "", 0, 0, 2, "Plus 2"}};
    for (const auto &c : cases) {
        Session s;
        s.scenario().msr = 2;
        const WindowId setup = s.open(kCmdSetup);
        s.ui.onModal = [&](WindowId box) {
            ASSERT_TRUE(s.ui.type(box, special::kA1Box, c.a1));
            ASSERT_TRUE(s.ui.type(box, special::kA5Box, c.a5));
            s.click(box, special::kOk);
        };
        s.click(setup, kSpecialButton);
        EXPECT_EQ(s.scenario().a1Modifier, c.a1Stored) << c.a1;
        EXPECT_EQ(s.scenario().a5Modifier, c.a5Stored) << c.a5;
        EXPECT_EQ(s.scenario().msr, c.msr);
        EXPECT_EQ(s.text(setup, kMsrList), c.msrShown);
    }
}

// The box opens on the scenario's modifiers, the first one selected; Escape
// keeps the check box but not the typing.
TEST(SpecialWindow, OpensOnTheModifiersAndEscapeKeepsTheCheckBoxButNotTheTyping) {
    Session s;
    s.scenario().a5Modifier = 3;
    s.scenario().msr = 0;
    const WindowId setup = s.open(kCmdSetup);
    s.ui.setSelection(setup, kMsrList, 4); // stale display, corrected after the box
    s.ui.onModal = [&](WindowId box) {
        EXPECT_TRUE(s.shows(box, {{special::kA1Box, "0"}, {special::kA5Box, "3"}}));
        EXPECT_FALSE(s.checked(box, special::kFortificationBox));
        EXPECT_EQ(s.ui.window(box)->focus, special::kA1Box);
        EXPECT_TRUE(s.ui.window(box)->focusTextSelected);
        s.click(box, special::kFortificationBox);
        EXPECT_TRUE(s.checked(box, special::kFortificationBox));
        s.ui.type(box, special::kA1Box, "5");
        s.ui.escape(box);
    };
    s.click(setup, kSpecialButton);
    EXPECT_EQ(s.scenario().fortificationEvenDr, 1);
    EXPECT_EQ(s.scenario().a1Modifier, 0);
    EXPECT_EQ(s.scenario().a5Modifier, 3);
    EXPECT_EQ(s.text(setup, kMsrList), "No MSR Modifier") << "the MSR item is chosen again";
}

} // namespace
} // namespace treva
