#include "actions/priority_tables.h"
#include "session.h"
#include "windows/advance_window.h"

namespace treva {
namespace {

using testing::Session;

const char kIdle[] = "(Actions get reported here)";

TEST(ActionsWindow, OpensIdleWithTheKeyAndIftCurrent) {
    Session s;
    s.scenario().actionCategory = 1084;
    const WindowId w = s.open(kCmdActions);
    EXPECT_EQ(s.text(w, 1050), kIdle);
    EXPECT_EQ(s.text(w, 1051), formatScenarioSummary(s.scenario()));
    EXPECT_EQ(s.image(w, 1090), 118);
    EXPECT_EQ(s.scenario().actionCategory, 1081);
    for (int id = 1031; id <= 1041; ++id) EXPECT_FALSE(s.enabled(w, id)) << id;
    for (int id = 1079; id <= 1084; ++id) EXPECT_EQ(s.text(w, id), "") << id;
    EXPECT_FALSE(s.checked(w, 1003));
}

TEST(ActionsWindow, InfantryActionShowsBothDice) {
    Session s;
    const WindowId w = s.open(kCmdActions);
    s.seed(1); // 6, 6: all classes panic
    s.click(w, 1000);
    EXPECT_EQ(s.text(w, 1052), "DR = 6, 6");
    EXPECT_EQ(s.text(w, 1054), "All Classes Panic");
    EXPECT_EQ(s.text(w, 1050), "");
    EXPECT_EQ(s.text(w, 1053), "-");
    EXPECT_EQ(s.stats().oneDieRolls, 2);
}

TEST(ActionsWindow, ManualModeSelectsThenResolvesWithoutDice) {
    Session s;
    const WindowId w = s.open(kCmdActions);
    s.seedFor({{1, 2}, {1, 5}});
    s.click(w, 1000); // dice 2 and 5
    s.click(w, 1003);
    EXPECT_EQ(s.scenario().manualDieRoll, 1);
    for (int id = 1031; id <= 1041; ++id) EXPECT_TRUE(s.enabled(w, id)) << id;
    EXPECT_EQ(s.text(w, 1081), "\xBB");
    EXPECT_EQ(s.text(w, 1050), kIdle);

    const int rolls = s.stats().oneDieRolls + s.stats().twoDiceRolls;
    s.click(w, 1020); // LATW: selects only
    EXPECT_EQ(s.text(w, 1081), "");
    EXPECT_EQ(s.text(w, 1082), "\xBB");
    EXPECT_EQ(s.text(w, 1056), "LATW Attack Directions");
    EXPECT_EQ(s.text(w, 1050), "(Displays the results of an LATW attack using the buttons below.)");
    EXPECT_EQ(s.text(w, 1052), "DR = 2, 5") << "the dice field is left alone";
    EXPECT_EQ(s.text(w, 1053), "");

    s.click(w, 1036); // die button "7"
    EXPECT_EQ(s.text(w, 1050), priorityText(PriorityTable::Latw, 7));
    EXPECT_EQ(s.text(w, 1053), "DR = 7");
    EXPECT_EQ(s.text(w, 1052), "DR = 2, 5");
    EXPECT_EQ(s.stats().oneDieRolls + s.stats().twoDiceRolls, rolls) << "no die is counted";

    s.click(w, 1003); // manual mode off
    EXPECT_EQ(s.scenario().manualDieRoll, 0);
    for (int id = 1031; id <= 1041; ++id) EXPECT_FALSE(s.enabled(w, id)) << id;
    EXPECT_EQ(s.text(w, 1082), "");
    EXPECT_EQ(s.text(w, 1050), kIdle);
    EXPECT_EQ(s.text(w, 1056), "");
    EXPECT_EQ(s.text(w, 1053), "");
}

TEST(ActionsWindow, OpenedInManualModeResolvesIft) {
    Session s;
    s.scenario().manualDieRoll = 1;
    const WindowId w = s.open(kCmdActions);
    EXPECT_TRUE(s.checked(w, 1003));
    EXPECT_TRUE(s.enabled(w, 1031));
    EXPECT_EQ(s.text(w, 1081), "") << "no marker until a choice";
    s.click(w, 1031); // "2"
    EXPECT_EQ(s.text(w, 1050), priorityText(PriorityTable::IftAttack, 2));
    EXPECT_EQ(s.text(w, 1052), "-");
    EXPECT_EQ(s.text(w, 1053), "DR = 2");
    EXPECT_EQ(s.text(w, 1056), "Infantry Attack Directions");
}

TEST(ActionsWindow, AutomaticCategoriesRollADR) {
    Session s;
    const WindowId w = s.open(kCmdActions);
    s.seedFor({{1, 1}, {1, 3}, {2, 9}, {2, 8}});
    s.click(w, 1000);
    s.click(w, 1017); // Veh. Move. keeps the action's dice
    EXPECT_EQ(s.text(w, 1052), "DR = 1, 3");
    EXPECT_EQ(s.text(w, 1053), "DR = 9");
    EXPECT_EQ(s.text(w, 1050), priorityText(PriorityTable::VehicleMovement, 9));
    EXPECT_EQ(s.text(w, 1056), "Vehicle Movement Directions");
    s.click(w, 1019); // IFT Attack replaces them
    EXPECT_EQ(s.text(w, 1052), "-");
    EXPECT_EQ(s.text(w, 1053), "DR = 8");
    EXPECT_EQ(s.stats().twoDiceRolls, 2);
}

TEST(ActionsWindow, DirectionPictureAndField) {
    Session s;
    s.scenario().mapOrientation = 1;
    const WindowId w = s.open(kCmdActions);
    EXPECT_EQ(s.image(w, 1090), 119);
    s.seedFor({{1, 4}, {2, 7}, {1, 2}});
    s.click(w, 1078);
    EXPECT_EQ(s.text(w, 1055), "dr = 4");
    EXPECT_EQ(s.image(w, 1090), 125);
    s.click(w, 1021); // automatic: rolls, empties the direction, key again
    EXPECT_EQ(s.image(w, 1090), 119);
    EXPECT_EQ(s.text(w, 1055), "");
    s.click(w, 1078);
    s.click(w, 1003);
    s.click(w, 1022); // manual: the direction field stays
    EXPECT_EQ(s.text(w, 1055), "dr = 2");
    EXPECT_EQ(s.image(w, 1090), 119);
}

TEST(ActionsWindow, MarkedAdvanceMovementKeepsItsDirection) {
    Session s;
    s.scenario().attitude = 1;
    const WindowId w = s.open(kCmdActions);
    s.seedFor({{2, 6}, {1, 6}}); // Inf. Move. DR 6 is marked
    s.click(w, 1018);
    EXPECT_EQ(s.text(w, 1050), "Move full RAS");
    EXPECT_EQ(s.text(w, 1055), "dr = 6");
    EXPECT_EQ(s.image(w, 1090), 122);
    EXPECT_EQ(s.text(w, 1052), "-");
    EXPECT_EQ(s.text(w, 1053), "DR = 6");
}

TEST(ActionsWindow, ReopenedWindowStartsOver) {
    Session s;
    WindowId w = s.open(kCmdActions);
    s.click(w, 1003);
    s.click(w, 1017);
    s.click(w, 1078);
    s.ui.closeBox(w);
    w = s.open(kCmdActions);
    EXPECT_EQ(s.text(w, 1050), kIdle);
    EXPECT_EQ(s.scenario().actionCategory, 1081);
    EXPECT_EQ(s.image(w, 1090), 118);
    EXPECT_TRUE(s.checked(w, 1003)) << "the mode is kept";
}

TEST(AdvanceWindow, RollsTextsAndThePicture) {
    Session s;
    const WindowId w = s.open(kCmdAdvance);
    const std::string instructions = s.text(w, 1086);
    EXPECT_EQ(instructions.rfind("(Use the 'NTC' button", 0), 0u);
    EXPECT_EQ(s.image(w, 1088), 118);

    s.seedFor({{1, 6}, {2, 5}, {2, 9}, {1, 3}, {1, 4}});
    s.click(w, 1000);
    EXPECT_EQ(s.text(w, 1087), "dr = 6");
    EXPECT_EQ(s.image(w, 1088), 122);
    EXPECT_EQ(s.text(w, 1086), "");
    s.click(w, 1001);
    EXPECT_EQ(s.text(w, 1087), "NTC = 5");
    EXPECT_EQ(s.image(w, 1088), 118);
    const std::string modifiers = s.text(w, 1086);
    EXPECT_EQ(modifiers.rfind("-2   IF FRIENDLY units in VPO\r", 0), 0u);
    s.ui.setImage(w, 1088, 0); // a second CC button must not reload the key
    s.click(w, 1001);
    EXPECT_EQ(s.text(w, 1087), "NTC = 9");
    EXPECT_EQ(s.text(w, 1086), modifiers);
    EXPECT_EQ(s.image(w, 1088), 0);
    s.click(w, 1003);
    EXPECT_EQ(s.text(w, 1086), pairingRuleText(3));
    s.click(w, 1002);
    EXPECT_EQ(s.text(w, 1087), "dr = 4");
    EXPECT_EQ(s.text(w, 1086), pairingRuleText(3)) << "the attack keeps the rule shown";
    s.click(w, 1001);
    EXPECT_EQ(s.text(w, 1086), modifiers) << "NTC after Pairings shows the modifiers again";
    EXPECT_EQ(s.stats().oneDieRolls, 3);
    EXPECT_EQ(s.stats().twoDiceRolls, 3);
}

TEST(AdvanceWindow, AttackRightAfterOpeningKeepsTheInstructions) {
    Session s;
    const WindowId w = s.open(kCmdAdvance);
    const std::string instructions = s.text(w, 1086);
    s.click(w, 1002);
    EXPECT_EQ(s.text(w, 1086), instructions);
    EXPECT_EQ(s.text(w, 1087).rfind("dr = ", 0), 0u);
}

TEST(AdvanceWindow, PairingRules) {
    EXPECT_EQ(std::string(pairingRuleText(1)), pairingRuleText(2));
    EXPECT_EQ(std::string(pairingRuleText(3)), pairingRuleText(4));
    EXPECT_EQ(std::string(pairingRuleText(5)), pairingRuleText(6));
    EXPECT_NE(std::string(pairingRuleText(2)), pairingRuleText(3));
    EXPECT_NE(std::string(pairingRuleText(4)), pairingRuleText(5));
}

} // namespace
} // namespace treva
