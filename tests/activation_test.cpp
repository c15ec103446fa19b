#include <gtest/gtest.h>

#include <algorithm>

#include "activation/activation.h"
#include "seeds.h"

namespace treva {
namespace {

using testing::seedGiving;

ProgramState fresh() {
    ProgramState p;
    resetScenario(p, 1);
    return p;
}

// A seed whose activation dr is `dr`, followed by an A1 DR of 7 ("(None)").
uint32_t seedForDr(int dr) { return seedGiving({{1, dr}, {2, 7}}); }

TEST(ActivationModifiers, TotalAndTerrainUnderEachAttitude) {
    ActivationModifiers m{1, 1, 1, -4, 2};
    EXPECT_EQ(activationModifierTotal(m, 0), -5);
    EXPECT_EQ(activationModifierTotal(m, 1), -7);
    ActivationModifiers city{0, 0, 0, 0, 2};
    EXPECT_EQ(activationModifierTotal(city, 0), 2);
    EXPECT_EQ(activationModifierTotal(city, 1), 0) << "terrain does not count under Advance";
}

TEST(RollActivation, AutomaticActivationOnOne) {
    ProgramState p = fresh();
    p.modifiers.levelModifier = -2;
    seedGenerator(p, seedForDr(1));
    const ActivationOutcome o = rollActivation(p);
    EXPECT_EQ(o.dr, "1");
    EXPECT_EQ(o.status, "Activation Automatic");
    EXPECT_EQ(o.modifier, "");
    EXPECT_EQ(o.finalDr, "");
    EXPECT_EQ(o.a1, "A1 DR = 7/7");
    EXPECT_EQ(o.units, "(None) (A1 DR = 7)");
    EXPECT_EQ(p.unitsText, "(None) (A1 DR = 7)");
    EXPECT_EQ(p.lastActivationDr, 1);
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 1);
    EXPECT_EQ(p.scenario.stats.twoDiceRolls, 1);
}

TEST(RollActivation, AutomaticRemovalOnSixThrowsOneDie) {
    ProgramState p = fresh();
    p.unitsText = "old units";
    seedGenerator(p, seedForDr(6));
    const ActivationOutcome o = rollActivation(p);
    EXPECT_EQ(o.dr, "6");
    EXPECT_EQ(o.status, "S? Automatically Removed");
    EXPECT_EQ(o.modifier, "");
    EXPECT_EQ(o.finalDr, "");
    EXPECT_EQ(o.a1, "");
    EXPECT_EQ(o.units, "(No units to activate)");
    EXPECT_EQ(p.unitsText, "(No units to activate)");
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 1);
    EXPECT_EQ(p.scenario.stats.twoDiceRolls, 0);
}

TEST(RollActivation, RemovalStillDrawsUnitsThatReevaluationCanShow) {
    ProgramState p = fresh();
    p.scenario.acNumber = 2;
    seedGenerator(p, seedForDr(4));
    const ActivationOutcome o = rollActivation(p);
    EXPECT_EQ(o.status, "S? Removed");
    EXPECT_EQ(o.finalDr, "4");
    EXPECT_EQ(o.modifier, "0");
    EXPECT_EQ(o.a1, "");
    EXPECT_EQ(o.units, "(No units to activate)");
    EXPECT_EQ(p.unitsText, "(None) (A1 DR = 7)");
    EXPECT_EQ(p.scenario.stats.twoDiceRolls, 1);

    p.modifiers.levelModifier = -2;
    const ActivationOutcome again = reevaluateActivation(p);
    EXPECT_EQ(again.status, "S? Activated");
    EXPECT_EQ(again.units, "(None) (A1 DR = 7)");
    EXPECT_EQ(again.modifier, "-2");
    EXPECT_EQ(again.finalDr, "2");
    EXPECT_FALSE(again.a1) << "the A1 field stays empty until the next generation";
    EXPECT_EQ(p.scenario.stats.twoDiceRolls, 1) << "re-evaluation throws nothing";
}

TEST(RollActivation, FinalFieldIsUnclamped) {
    ProgramState p = fresh();
    p.modifiers = {1, 1, 1, -4, 0};
    seedGenerator(p, seedForDr(2));
    const ActivationOutcome o = rollActivation(p);
    EXPECT_EQ(o.finalDr, "-5");
    EXPECT_EQ(o.status, "S? Activated");
}

TEST(Reevaluation, AgreesWithTheRollForEveryRemembredDr) {
    for (int dr = 2; dr <= 5; ++dr) {
        const uint32_t seed = seedForDr(dr);
        for (int ac = 2; ac <= 5; ++ac) {
            for (int level = 0; level >= -4; --level) {
                for (int terrain = 0; terrain <= 2; ++terrain) {
                    for (int boxes = 0; boxes < 8; ++boxes) {
                        ProgramState p = fresh();
                        p.scenario.acNumber = ac;
                        p.modifiers = {boxes & 1, (boxes >> 1) & 1, (boxes >> 2) & 1, level, terrain};
                        seedGenerator(p, seed);
                        const std::string rolled = *rollActivation(p).status;
                        EXPECT_EQ(*reevaluateActivation(p).status, rolled)
                            << "dr " << dr << " ac " << ac << " level " << level << " terrain " << terrain;
                    }
                }
            }
        }
    }
}

TEST(Reevaluation, BeforeTheFirstRollOnlyTheNumbersChange) {
    ProgramState p = fresh();
    p.modifiers.vpoAdjacent = 1;
    p.modifiers.terrainModifier = 2;
    const ActivationOutcome o = reevaluateActivation(p);
    EXPECT_EQ(o.modifier, "1");
    EXPECT_EQ(o.finalDr, "1");
    EXPECT_FALSE(o.status);
    EXPECT_FALSE(o.units);
    EXPECT_FALSE(o.a1);
}

TEST(Reevaluation, RemovedShowsNotApplicable) {
    ProgramState p = fresh();
    seedGenerator(p, seedForDr(3));
    rollActivation(p);
    p.modifiers.terrainModifier = 2; // 3 + 2 > 3
    const ActivationOutcome o = reevaluateActivation(p);
    EXPECT_EQ(o.status, "S? Removed");
    EXPECT_EQ(o.a1, "");
    EXPECT_EQ(o.units, "(not applicable)");
}

TEST(Reevaluation, AutomaticResultsSurviveModifierChanges) {
    for (int dr : {1, 6}) {
        ProgramState p = fresh();
        seedGenerator(p, seedForDr(dr));
        rollActivation(p);
        p.modifiers.levelModifier = -4;
        p.modifiers.terrainModifier = 2;
        const ActivationOutcome o = reevaluateActivation(p);
        EXPECT_EQ(o.status, dr == 1 ? "Still automatic activation" : "Still automatic removal");
        EXPECT_EQ(o.modifier, "-2");
        EXPECT_EQ(o.finalDr, std::to_string(dr - 2));
        EXPECT_FALSE(o.units);
        EXPECT_FALSE(o.a1);
    }
}

TEST(ManualActivation, DrawsUnitsWithoutTouchingTheRoll) {
    ProgramState p = fresh();
    p.scenario.msr = 1;
    seedGenerator(p, seedGiving({{2, 6}}));
    const ActivationOutcome o = manualActivation(p);
    EXPECT_EQ(o.status, "Manual Activation");
    EXPECT_EQ(o.a1, "A1 DR = 6/7");
    EXPECT_EQ(o.units, "(None) (A1 DR = 6)");
    EXPECT_FALSE(o.dr);
    EXPECT_FALSE(o.modifier);
    EXPECT_FALSE(o.finalDr);
    EXPECT_EQ(p.lastActivationDr, 0);
    p.modifiers.nearbyUnits = 1;
    EXPECT_FALSE(reevaluateActivation(p).status);
}

TEST(ConditionsText, OneTextPerNationalityGroup) {
    const std::string russian = activationConditionsText(1);
    EXPECT_EQ(activationConditionsText(0), russian);
    EXPECT_EQ(activationConditionsText(-3), russian);
    EXPECT_EQ(activationConditionsText(9), russian);
    EXPECT_EQ(std::string(activationConditionsText(2)), activationConditionsText(3));
    EXPECT_EQ(std::string(activationConditionsText(4)), activationConditionsText(5));
    EXPECT_EQ(std::string(activationConditionsText(6)), activationConditionsText(7));

    const auto lines = [](const std::string &t) { return std::count(t.begin(), t.end(), '\r') + 1; };
    EXPECT_EQ(lines(russian), 6);
    EXPECT_EQ(lines(activationConditionsText(4)), 5);
    EXPECT_EQ(std::string(activationConditionsText(4)).find("+2"), std::string::npos);
    EXPECT_EQ(std::string(activationConditionsText(6)).rfind("* FRIENDLY Infantry in LOS within 10 and", 0), 0u);
    for (int n = 0; n < 9; ++n) {
        const std::string t = activationConditionsText(n);
        EXPECT_EQ(t.find('\n'), std::string::npos);
        EXPECT_NE(t.back(), '\r');
        EXPECT_EQ(t.substr(t.size() - 10), "* ADJACENT");
    }
    // The German text differs from the British one in its first line only.
    const std::string german = activationConditionsText(2), british = activationConditionsText(6);
    EXPECT_EQ(german.substr(german.find('\r')), british.substr(british.find('\r')));
}

} // namespace
} // namespace treva
