#include <gtest/gtest.h>

#include "actions/action_roll.h"
#include "seeds.h"

namespace treva {
namespace {

using testing::seedGivingDice;

struct Roll {
    ActionFields fields;
    ProgramState program;
};

Roll act(bool infantry, int attitude, int a, int b) {
    Roll r;
    resetScenario(r.program, 1);
    r.program.scenario.attitude = attitude;
    seedGenerator(r.program, seedGivingDice(a, b));
    r.fields = infantry ? infantryAction(r.program) : vehicleAction(r.program);
    return r;
}

TEST(ActionBands, LimitsBelongToTheirBand) {
    EXPECT_EQ(actionBand(0, 4), ActionBand::Moves);
    EXPECT_EQ(actionBand(0, 5), ActionBand::Fires);
    EXPECT_EQ(actionBand(0, 9), ActionBand::Fires);
    EXPECT_EQ(actionBand(0, 10), ActionBand::Entrenches);
    EXPECT_EQ(actionBand(0, 11), ActionBand::Entrenches);
    EXPECT_EQ(actionBand(0, 12), ActionBand::None);
    EXPECT_EQ(actionBand(1, 7), ActionBand::Moves);
    EXPECT_EQ(actionBand(1, 8), ActionBand::Fires);
    EXPECT_EQ(actionBand(1, 10), ActionBand::Fires);
    EXPECT_EQ(actionBand(1, 11), ActionBand::Entrenches);
    EXPECT_EQ(actionBand(5, 7), ActionBand::Moves) << "every non-zero attitude is Advance";
}

TEST(PanicTexts, ByDoublesTotal) {
    EXPECT_STREQ(panicText(2), "Conscript/Green Panic");
    EXPECT_STREQ(panicText(4), "2nd line/Partisans Panic\rConscript/Green Panic");
    EXPECT_STREQ(panicText(6), "1st line Panic\r2nd line/Partisans Panic\rConscript/Green Panic");
    EXPECT_STREQ(panicText(8), panicText(6));
    EXPECT_STREQ(panicText(10), "All Classes Panic");
    EXPECT_STREQ(panicText(12), "All Classes Panic");
}

TEST(InfantryAction, SnakeEyesPanicAndMove) {
    const Roll r = act(true, 0, 1, 1);
    EXPECT_EQ(r.fields.dice, "DR = 1, 1");
    EXPECT_EQ(r.fields.panic, "Conscript/Green Panic");
    EXPECT_EQ(r.fields.results, "Unit MOVES");
    EXPECT_EQ(r.fields.roll, "-");
    EXPECT_EQ(r.fields.title, "");
    EXPECT_EQ(r.fields.direction, "");
}

TEST(InfantryAction, DoublesBelowTenGoOn) {
    Roll r = act(true, 1, 2, 2);
    EXPECT_EQ(r.fields.panic, "2nd line/Partisans Panic\rConscript/Green Panic");
    EXPECT_EQ(r.fields.results, "Unit MOVES");

    r = act(true, 1, 4, 4);
    EXPECT_EQ(r.fields.panic, panicText(8));
    EXPECT_EQ(r.fields.title, "Infantry Attack Directions");
    EXPECT_EQ(r.fields.results, priorityText(PriorityTable::IftAttack, 8));
    EXPECT_EQ(r.fields.roll, "DR = 8");

    r = act(true, 0, 3, 3);
    EXPECT_EQ(r.fields.panic, panicText(6));
    EXPECT_EQ(r.fields.results, priorityText(PriorityTable::IftAttack, 6));
}

TEST(InfantryAction, AllClassesPanicEndsTheAction) {
    for (int attitude : {0, 1}) {
        const Roll r = act(true, attitude, 5, 5);
        EXPECT_EQ(r.fields.panic, "All Classes Panic");
        EXPECT_EQ(r.fields.results, "");
        EXPECT_EQ(r.fields.title, "");
        EXPECT_EQ(r.fields.roll, "-");
        EXPECT_FALSE(r.fields.direction) << "the direction field keeps what it showed";
    }
}

TEST(InfantryAction, ElevenEntrenchesUnderBothAttitudes) {
    for (int attitude : {0, 1}) {
        const Roll r = act(true, attitude, 5, 6);
        EXPECT_EQ(r.fields.panic, "");
        EXPECT_EQ(r.fields.results, "Unit ENTRENCHES");
    }
}

TEST(InfantryAction, FiveFiresUnderHoldAndMovesUnderAdvance) {
    EXPECT_EQ(act(true, 0, 2, 3).fields.results, priorityText(PriorityTable::IftAttack, 5));
    EXPECT_EQ(act(true, 1, 2, 3).fields.results, "Unit MOVES");
}

TEST(VehicleAction, NoPanicAndItsOwnFireText) {
    const char fires[] = "AFV/ORD Fires.\r\rSelect the button appropriate button on the left.";
    Roll r = act(false, 1, 5, 5);
    EXPECT_EQ(r.fields.panic, "");
    EXPECT_EQ(r.fields.results, fires);
    EXPECT_EQ(r.fields.dice, "DR = 5, 5");
    EXPECT_EQ(act(false, 0, 5, 5).fields.results, "Unit MOVES");
    EXPECT_EQ(act(false, 0, 5, 6).fields.results, "Unit MOVES");
    EXPECT_EQ(act(false, 0, 3, 4).fields.results, fires);
}

TEST(VehicleAction, TwelveMoves) {
    for (int attitude : {0, 1}) {
        const Roll r = act(false, attitude, 6, 6);
        EXPECT_EQ(r.fields.results, "Unit MOVES");
        EXPECT_EQ(r.fields.direction, "");
    }
}

TEST(ActionRolls, CountTwoSingleDice) {
    for (bool infantry : {true, false}) {
        const Roll r = act(infantry, 0, 4, 3);
        EXPECT_EQ(r.program.scenario.stats.oneDieRolls, 2);
        EXPECT_EQ(r.program.scenario.stats.twoDiceRolls, 0);
    }
}

} // namespace
} // namespace treva
