#include "actions/action_roll.h"
#include "session.h"
#include "ui/advance_window.h"

namespace treva {
namespace {

using testing::Session;

namespace actions {
using namespace actions_ids;

const char kIdle[] = "(Actions get reported here)";
const char kMarker[] = "\xBB";

struct ActionsWindow : ::testing::Test {
    Session s;
    int enabledDieButtons(WindowId w) const {
        int enabled = 0;
        for (int dr = 2; dr <= 12; ++dr) enabled += s.enabled(w, dieButton(dr));
        return enabled;
    }
};

// The window opens idle on the IFT table with the direction key, whatever it
// showed when it closed; only the manual mode is kept, with no table marked.
TEST_F(ActionsWindow, OpensIdleOnIftKeepingOnlyTheMode) {
    s.scenario().actionCategory = kOrdnanceVsInfantryCategory;
    WindowId w = s.open(kCmdActions);
    EXPECT_TRUE(s.shows(w, {{kResults, kIdle}, {kSummary, formatScenarioSummary(s.scenario())}}));
    EXPECT_EQ(s.image(w, kPicture), directionKeyBitmap(0));
    EXPECT_EQ(s.scenario().actionCategory, kIftAttackCategory);
    EXPECT_EQ(enabledDieButtons(w), 0);
    EXPECT_FALSE(s.checked(w, kManualBox));

    s.click(w, kManualBox);
    s.click(w, kVehMove);
    s.click(w, kDirectionButton);
    s.ui.closeBox(w);
    w = s.open(kCmdActions);
    EXPECT_EQ(s.text(w, kResults), kIdle);
    EXPECT_EQ(s.scenario().actionCategory, kIftAttackCategory);
    EXPECT_EQ(s.image(w, kPicture), directionKeyBitmap(0));
    EXPECT_TRUE(s.checked(w, kManualBox)) << "the mode is kept";
    EXPECT_EQ(enabledDieButtons(w), 11);
    EXPECT_EQ(s.text(w, kIftMarker), "") << "no marker until a choice";
    s.click(w, dieButton(2));
    EXPECT_TRUE(s.shows(w, {{kResults, priorityText(PriorityTable::IftAttack, 2)},
                            {kDice, "-"},
                            {kRoll, "DR = 2"},
                            {kTitle, "Infantry Attack Directions"}}));
}

TEST_F(ActionsWindow, ManualModeSelectsThenResolvesWithoutDice) {
    const WindowId w = s.open(kCmdActions);
    s.seedFor({{1, 2}, {1, 5}});
    s.click(w, kInfAction); // dice 2 and 5
    s.click(w, kManualBox);
    EXPECT_EQ(s.scenario().manualDieRoll, 1);
    EXPECT_EQ(enabledDieButtons(w), 11);
    EXPECT_TRUE(s.shows(w, {{kIftMarker, kMarker}, {kResults, kIdle}}));

    const int rolls = s.stats().oneDieRolls + s.stats().twoDiceRolls;
    s.click(w, kLatw); // selects only
    EXPECT_TRUE(s.shows(w, {{kIftMarker, ""},
                            {kLatwMarker, kMarker},
                            {kTitle, "LATW Attack Directions"},
                            {kResults, "(Displays the results of an LATW attack using the buttons below.)"},
                            {kDice, "DR = 2, 5"},
                            {kRoll, ""}}));

    s.click(w, dieButton(7));
    EXPECT_TRUE(
        s.shows(w, {{kResults, priorityText(PriorityTable::Latw, 7)}, {kRoll, "DR = 7"}, {kDice, "DR = 2, 5"}}));
    EXPECT_EQ(s.stats().oneDieRolls + s.stats().twoDiceRolls, rolls) << "no die is counted";

    s.click(w, kManualBox); // manual mode off
    EXPECT_EQ(s.scenario().manualDieRoll, 0);
    EXPECT_EQ(enabledDieButtons(w), 0);
    EXPECT_TRUE(s.shows(w, {{kLatwMarker, ""}, {kResults, kIdle}, {kTitle, ""}, {kRoll, ""}}));
}

// An action shows its dice and any panic; an automatic category then rolls a
// DR of its own, and keeps the action's dice only if it is not the IFT.
TEST_F(ActionsWindow, AnActionShowsItsDiceThenAutomaticCategoriesRollADR) {
    const WindowId w = s.open(kCmdActions);
    s.seedFor({{1, 1}, {1, 1}, {2, 9}, {2, 8}});
    s.click(w, kInfAction);
    EXPECT_TRUE(s.shows(w, {{kDice, "DR = 1, 1"}, {kPanic, panicText(2)}, {kResults, "Unit MOVES"}, {kRoll, "-"}}));
    s.click(w, kVehMove);
    EXPECT_TRUE(s.shows(w, {{kDice, "DR = 1, 1"},
                            {kRoll, "DR = 9"},
                            {kResults, priorityText(PriorityTable::VehicleMovement, 9)},
                            {kTitle, "Vehicle Movement Directions"}}));
    s.click(w, kIftAttack);
    EXPECT_TRUE(s.shows(w, {{kDice, "-"}, {kRoll, "DR = 8"}}));
}

TEST_F(ActionsWindow, DirectionPictureAndField) {
    s.scenario().mapOrientation = 1;
    const WindowId w = s.open(kCmdActions);
    EXPECT_EQ(s.image(w, kPicture), directionKeyBitmap(1));
    s.seedFor({{1, 4}, {2, 7}, {1, 2}});
    s.click(w, kDirectionButton);
    EXPECT_EQ(s.text(w, kDirection), "dr = 4");
    EXPECT_EQ(s.image(w, kPicture), directionResultBitmap(1, 4));
    s.click(w, kOrdVeh); // automatic: rolls, empties the direction, key again
    EXPECT_EQ(s.image(w, kPicture), directionKeyBitmap(1));
    EXPECT_EQ(s.text(w, kDirection), "");
    s.click(w, kDirectionButton);
    s.click(w, kManualBox);
    s.click(w, kOrdInf); // manual: the direction field stays
    EXPECT_EQ(s.text(w, kDirection), "dr = 2");
    EXPECT_EQ(s.image(w, kPicture), directionKeyBitmap(1));
}

TEST_F(ActionsWindow, MarkedAdvanceMovementKeepsItsDirection) {
    s.scenario().attitude = 1;
    const WindowId w = s.open(kCmdActions);
    s.seedFor({{2, 6}, {1, 6}}); // Inf. Move. DR 6 is marked
    s.click(w, kInfMove);
    EXPECT_TRUE(s.shows(w, {{kResults, priorityText(PriorityTable::AdvanceMovement, 6)},
                            {kDirection, "dr = 6"},
                            {kDice, "-"},
                            {kRoll, "DR = 6"}}));
    EXPECT_EQ(s.image(w, kPicture), directionResultBitmap(0, 6));
}

} // namespace actions

namespace advance {
using namespace advance_ids;

TEST(AdvanceWindow, RollsTextsAndThePicture) {
    Session s;
    const WindowId w = s.open(kCmdAdvance);
    const std::string instructions = s.text(w, kTextArea);
    EXPECT_EQ(instructions.rfind("(Use the 'NTC' button", 0), 0u);
    EXPECT_EQ(s.image(w, kPicture), directionKeyBitmap(0));

    s.seedFor({{1, 2}, {1, 6}, {2, 5}, {2, 9}, {1, 3}, {1, 4}});
    s.click(w, kAttackButton);
    EXPECT_TRUE(s.shows(w, {{kRollField, "dr = 2"}, {kTextArea, instructions}})) << "an attack shows no text";
    s.click(w, kAdvanceButton);
    EXPECT_TRUE(s.shows(w, {{kRollField, "dr = 6"}, {kTextArea, ""}}));
    EXPECT_EQ(s.image(w, kPicture), directionResultBitmap(0, 6));
    s.click(w, kNtcButton);
    EXPECT_EQ(s.text(w, kRollField), "NTC = 5");
    EXPECT_EQ(s.image(w, kPicture), directionKeyBitmap(0));
    const std::string modifiers = s.text(w, kTextArea);
    EXPECT_EQ(modifiers.rfind("-2   IF FRIENDLY units in VPO\r", 0), 0u);
    s.ui.setImage(w, kPicture, 0); // a second CC button must not reload the key
    s.click(w, kNtcButton);
    EXPECT_TRUE(s.shows(w, {{kRollField, "NTC = 9"}, {kTextArea, modifiers}}));
    EXPECT_EQ(s.image(w, kPicture), 0);
    s.click(w, kPairingsButton);
    EXPECT_EQ(s.text(w, kTextArea), pairingRuleText(3));
    s.click(w, kAttackButton);
    EXPECT_TRUE(s.shows(w, {{kRollField, "dr = 4"}, {kTextArea, pairingRuleText(3)}}))
        << "the attack keeps the rule shown";
    s.click(w, kNtcButton);
    EXPECT_EQ(s.text(w, kTextArea), modifiers) << "NTC after Pairings shows the modifiers again";
}

TEST(AdvanceWindow, PairingRulesByBand) {
    for (int dr : {1, 3, 5}) EXPECT_STREQ(pairingRuleText(dr), pairingRuleText(dr + 1)) << dr;
    EXPECT_STRNE(pairingRuleText(2), pairingRuleText(3));
    EXPECT_STRNE(pairingRuleText(4), pairingRuleText(5));
}

} // namespace advance

} // namespace
} // namespace treva
