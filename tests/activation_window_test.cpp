#include "activation/activation.h"
#include "session.h"

namespace treva {
namespace {

using testing::Session;

TEST(ActivationWindow, FieldsRightAfterOpening) {
    Session s;
    const WindowId w = s.open(kCmdActivation);
    EXPECT_EQ(s.text(w, 1038), "0");
    EXPECT_EQ(s.text(w, 1040), "0");
    EXPECT_EQ(s.text(w, 1041), "0");
    EXPECT_EQ(s.text(w, 1042), "1");
    EXPECT_EQ(s.text(w, 1047), "");
    EXPECT_EQ(s.text(w, 1048), "");
    EXPECT_EQ(s.text(w, 1044), "vs. Russian\rJanuary, 1939\rHold Attitude\rMSR = 0");
    EXPECT_EQ(s.text(w, 1085), "3");
    EXPECT_EQ(s.text(w, 1046), activationConditionsText(1));
    EXPECT_FALSE(s.enabled(w, 1049));
    EXPECT_TRUE(s.checked(w, 1018));
    EXPECT_FALSE(s.checked(w, 1019));
    EXPECT_FALSE(s.enabled(w, 1018));
    EXPECT_FALSE(s.enabled(w, 1019));
    EXPECT_EQ(s.ui.control(w, 1015)->items.size(), 5u);
    EXPECT_EQ(s.text(w, 1015), "Same level");
    EXPECT_EQ(s.text(w, 1016), "Open");
}

TEST(ActivationWindow, ModifiersBeforeTheFirstRollChangeOnlyTheNumbers) {
    Session s;
    const WindowId w = s.open(kCmdActivation);
    s.click(w, 1009);
    EXPECT_EQ(s.state().modifiers.vpoAdjacent, 1);
    EXPECT_EQ(s.text(w, 1040), "-1");
    EXPECT_EQ(s.text(w, 1041), "-1");
    s.choose(w, 1016, 2); // City, under Hold
    EXPECT_EQ(s.text(w, 1040), "1");
    EXPECT_EQ(s.text(w, 1042), "1") << "no status before a roll";
    EXPECT_EQ(s.text(w, 1048), "");
    EXPECT_EQ(s.stats().oneDieRolls + s.stats().twoDiceRolls, 0);
}

TEST(ActivationWindow, RollWritesEveryField) {
    Session s;
    const WindowId w = s.open(kCmdActivation);
    s.seedFor({{1, 3}, {2, 7}});
    s.click(w, 1039);
    EXPECT_EQ(s.text(w, 1038), "3");
    EXPECT_EQ(s.text(w, 1040), "0");
    EXPECT_EQ(s.text(w, 1041), "3");
    EXPECT_EQ(s.text(w, 1042), "S? Activated");
    EXPECT_EQ(s.text(w, 1047), "A1 DR = 7/7");
    EXPECT_EQ(s.text(w, 1048), "(None) (A1 DR = 7)");
}

TEST(ActivationWindow, AttitudeChangeThenModifierReevaluatesUnderTheNewAttitude) {
    Session s;
    const WindowId w = s.open(kCmdActivation);
    s.seedFor({{1, 3}, {2, 7}});
    s.choose(w, 1016, 1); // Village: +1 under Hold
    s.click(w, 1039);     // 3 + 1 = 4 > AC# 3
    EXPECT_EQ(s.text(w, 1042), "S? Removed");
    EXPECT_EQ(s.text(w, 1048), "(No units to activate)");
    s.click(w, 1019);
    EXPECT_FALSE(s.checked(w, 1019)) << "disabled until attitude changes are allowed";
    s.click(w, 1013);
    EXPECT_TRUE(s.enabled(w, 1019));
    s.click(w, 1019);
    EXPECT_EQ(s.scenario().attitude, 1);
    EXPECT_EQ(s.text(w, 1044), "vs. Russian\rJanuary, 1939\rAdvance Attitude\rMSR = 0");
    EXPECT_EQ(s.text(w, 1042), "S? Removed") << "the attitude alone recomputes nothing";
    s.choose(w, 1016, 2); // City counts for nothing under Advance
    EXPECT_EQ(s.text(w, 1040), "0");
    EXPECT_EQ(s.text(w, 1042), "S? Activated");
    EXPECT_EQ(s.text(w, 1048), "(None) (A1 DR = 7)") << "the units of that roll";
}

TEST(ActivationWindow, AllowBoxesEnableTheirControls) {
    Session s;
    const WindowId w = s.open(kCmdActivation);
    s.click(w, 1049);
    EXPECT_EQ(s.stats().twoDiceRolls, 0) << "a disabled button does nothing";
    s.click(w, 1012);
    EXPECT_TRUE(s.enabled(w, 1049));
    s.seedFor({{2, 7}}); // "(None)": the A1 DR alone
    s.click(w, 1049);
    EXPECT_EQ(s.text(w, 1042), "Manual Activation");
    EXPECT_EQ(s.stats().twoDiceRolls, 1);
    s.click(w, 1012);
    EXPECT_FALSE(s.enabled(w, 1049));

    s.click(w, 1013);
    s.click(w, 1013);
    EXPECT_FALSE(s.enabled(w, 1018));
    EXPECT_TRUE(s.checked(w, 1018));
    s.scenario().attitude = 1; // changed elsewhere
    s.click(w, 1013);
    EXPECT_TRUE(s.checked(w, 1019)) << "the radios follow the attitude again";
    EXPECT_FALSE(s.checked(w, 1018));
}

TEST(ActivationWindow, FocusOnAListReevaluatesWithTheSameSelection) {
    Session s;
    const WindowId w = s.open(kCmdActivation);
    s.seedFor({{1, 4}, {2, 7}});
    s.click(w, 1039);
    s.state().modifiers.levelModifier = -3; // not yet shown
    s.click(w, 1015);                       // the list gets the focus: selection unchanged
    EXPECT_EQ(s.state().modifiers.levelModifier, 0);
    EXPECT_EQ(s.text(w, 1040), "0");
}

TEST(ActivationWindow, ReopenedWindowShowsTheStoredModifiers) {
    Session s;
    WindowId w = s.open(kCmdActivation);
    s.click(w, 1010);
    s.choose(w, 1015, 3);
    s.choose(w, 1016, 1);
    s.ui.closeBox(w);
    w = s.open(kCmdActivation);
    EXPECT_TRUE(s.checked(w, 1010));
    EXPECT_FALSE(s.checked(w, 1009));
    EXPECT_EQ(s.text(w, 1015), "3 levels greater");
    EXPECT_EQ(s.text(w, 1016), "Village");
    EXPECT_EQ(s.text(w, 1042), "1");
    EXPECT_EQ(s.state().lastActivationDr, 0);
    EXPECT_FALSE(s.checked(w, 1012));
    EXPECT_FALSE(s.checked(w, 1013));
}

TEST(ActivationWindow, AutomaticResultSurvivesAModifierChange) {
    Session s;
    const WindowId w = s.open(kCmdActivation);
    s.seedFor({{1, 6}});
    s.click(w, 1039);
    EXPECT_EQ(s.text(w, 1042), "S? Automatically Removed");
    s.choose(w, 1015, 4);
    EXPECT_EQ(s.text(w, 1042), "Still automatic removal");
    EXPECT_EQ(s.text(w, 1048), "(No units to activate)");
    EXPECT_EQ(s.text(w, 1040), "-4");
    EXPECT_EQ(s.text(w, 1041), "2");
}

} // namespace
} // namespace treva
