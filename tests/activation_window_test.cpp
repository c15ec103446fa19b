#include "activation/activation.h"
#include "session.h"

namespace treva {
namespace {

using namespace activation_ids;
struct ActivationWindow : ::testing::Test {
    testing::Session s;
    WindowId w = s.open(kCmdActivation);
};

TEST_F(ActivationWindow, FieldsRightAfterOpeningAndReopening) {
    EXPECT_TRUE(s.shows(w, {{kDrField, "0"},
                            {kModifierField, "0"},
                            {kFinalField, "0"},
                            {kStatus, "1"},
                            {kA1Field, ""},
                            {kUnitsField, ""},
                            {kSummary, formatScenarioSummary(s.scenario())},
                            {kAcField, "3"},
                            {kConditions, activationConditionsText(1)},
                            {kLevelList, "Same level"},
                            {kTerrainList, "Open"}}));
    EXPECT_EQ(s.ui.control(w, kLevelList)->items.size(), 5u);
    EXPECT_FALSE(s.enabled(w, kManual));
    EXPECT_TRUE(s.checked(w, kHold));
    EXPECT_FALSE(s.checked(w, kAdvance));
    EXPECT_FALSE(s.enabled(w, kHold));
    EXPECT_FALSE(s.enabled(w, kAdvance));

    // Reopened, it shows the modifiers as stored, and no roll.
    s.click(w, kStone);
    s.choose(w, kLevelList, 3);
    s.choose(w, kTerrainList, 1);
    EXPECT_EQ(s.text(w, kModifierField), "-3") << "a level higher up lowers the DR";
    s.ui.closeBox(w);
    w = s.open(kCmdActivation);
    EXPECT_TRUE(s.checked(w, kStone));
    EXPECT_FALSE(s.checked(w, kVpo));
    EXPECT_TRUE(s.shows(w, {{kLevelList, "3 levels greater"}, {kTerrainList, "Village"}, {kStatus, "1"}}));
    EXPECT_EQ(s.state().lastActivationDr, 0);
    EXPECT_FALSE(s.checked(w, kAllowManual));
    EXPECT_FALSE(s.checked(w, kAllowAttitude));
}

// Before the first roll a modifier changes only the numbers; the roll then
// writes every field.
TEST_F(ActivationWindow, ModifiersBeforeTheFirstRollChangeOnlyTheNumbersThenTheRollWritesEveryField) {
    s.click(w, kVpo);
    EXPECT_EQ(s.state().modifiers.vpoAdjacent, 1);
    EXPECT_TRUE(s.shows(w, {{kModifierField, "-1"}, {kFinalField, "-1"}}));
    s.choose(w, kTerrainList, 2); // City, under Hold
    EXPECT_TRUE(s.shows(w, {{kModifierField, "1"}, {kStatus, "1"}})) << "re-evaluated, not rolled";

    s.seedFor({{1, 2}, {2, 7}});
    s.click(w, kRoll);
    EXPECT_TRUE(s.shows(w, {{kDrField, "2"},
                            {kModifierField, "1"},
                            {kFinalField, "3"},
                            {kStatus, "S? Activated"},
                            {kA1Field, "A1 DR = 7/7"},
                            {kUnitsField, "(None) (A1 DR = 7)"}}));
}

TEST_F(ActivationWindow, AttitudeChangeThenModifierReevaluatesUnderTheNewAttitude) {
    s.seedFor({{1, 3}, {2, 7}});
    s.choose(w, kTerrainList, 1); // Village: +1 under Hold
    s.click(w, kRoll);            // 3 + 1 = 4 > AC# 3
    EXPECT_EQ(s.text(w, kStatus), "S? Removed");
    s.click(w, kAdvance);
    EXPECT_FALSE(s.checked(w, kAdvance)) << "disabled until attitude changes are allowed";
    s.click(w, kAllowAttitude);
    EXPECT_TRUE(s.enabled(w, kAdvance));
    s.click(w, kAdvance);
    EXPECT_EQ(s.scenario().attitude, 1);
    EXPECT_EQ(s.text(w, kSummary), formatScenarioSummary(s.scenario()));
    EXPECT_EQ(s.text(w, kStatus), "S? Removed") << "the attitude alone recomputes nothing";
    s.choose(w, kTerrainList, 2); // City counts for nothing under Advance
    EXPECT_TRUE(s.shows(w, {{kStatus, "S? Activated"}, {kUnitsField, "(None) (A1 DR = 7)"}}))
        << "the units of that roll";
}

TEST_F(ActivationWindow, AllowBoxesEnableTheirControls) {
    s.click(w, kManual);
    EXPECT_EQ(s.stats().twoDiceRolls, 0) << "a disabled button does nothing";
    s.click(w, kAllowManual);
    EXPECT_TRUE(s.enabled(w, kManual));
    s.seedFor({{2, 7}}); // "(None)": the A1 DR alone
    s.click(w, kManual);
    EXPECT_EQ(s.text(w, kStatus), "Manual Activation");
    EXPECT_EQ(s.stats().twoDiceRolls, 1);
    s.click(w, kAllowManual);
    EXPECT_FALSE(s.enabled(w, kManual));

    s.click(w, kAllowAttitude);
    s.click(w, kAllowAttitude);
    EXPECT_FALSE(s.enabled(w, kHold));
    EXPECT_TRUE(s.checked(w, kHold));
    s.scenario().attitude = 1; // changed elsewhere
    s.click(w, kAllowAttitude);
    EXPECT_TRUE(s.checked(w, kAdvance)) << "the radios follow the attitude again";
    EXPECT_FALSE(s.checked(w, kHold));
}

TEST_F(ActivationWindow, FocusOnAListReevaluatesWithTheSameSelection) {
    s.seedFor({{1, 4}, {2, 7}});
    s.click(w, kRoll);
    s.state().modifiers.levelModifier = -3; // not yet shown
    s.click(w, kLevelList);                 // the list gets the focus: selection unchanged
    EXPECT_EQ(s.state().modifiers.levelModifier, 0);
    EXPECT_EQ(s.text(w, kModifierField), "0");
}

} // namespace
} // namespace treva
