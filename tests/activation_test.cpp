#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "activation/activation.h"
#include "seeds.h"

namespace treva {
namespace {

using testing::seedGiving;

const char kNoneDrawn[] = "(None) (A1 DR = 7)";

// A scenario whose activation dr is `dr`, followed by an A1 DR of 7: no units.
ProgramState rollingDr(int dr) {
    ProgramState p;
    resetScenario(p, 1);
    seedGenerator(p, seedGiving({{1, dr}, {2, 7}}));
    return p;
}

// Hold modifiers that add up to `total`, -7..+2.
ActivationModifiers modifiersFor(int total) {
    if (total >= 0) return {0, 0, 0, 0, total};
    const int level = std::max(total, -4), boxes = level - total;
    return {boxes > 0, boxes > 1, boxes > 2, level, 0};
}

TEST(Activation, ModifierTotalCountsTerrainOnlyUnderHold) {
    const ActivationModifiers m{1, 1, 1, -4, 2};
    EXPECT_EQ(activationModifierTotal(m, 0), -5);
    EXPECT_EQ(activationModifierTotal(m, 1), -7);
}

// A dr of 1 activates and a 6 removes whatever the modifiers, then and on
// re-evaluation; an automatic removal throws no A1 DR.
TEST(Activation, AutomaticResultsIgnoreTheModifiers) {
    for (int dr : {1, 6}) {
        SCOPED_TRACE(dr);
        ProgramState p = rollingDr(dr);
        p.scenario.acNumber = 2;
        p.modifiers = modifiersFor(dr == 1 ? 2 : -7); // the other verdict, were it not automatic
        p.unitsText = "earlier units";
        const ActivationOutcome o = rollActivation(p);
        EXPECT_EQ(o.status, dr == 1 ? "Activation Automatic" : "S? Automatically Removed");
        EXPECT_TRUE(o.modifier == "" && o.finalDr == "");
        EXPECT_EQ(o.a1, dr == 1 ? "A1 DR = 7/7" : "");
        const char *units = dr == 1 ? kNoneDrawn : "(No units to activate)";
        EXPECT_EQ(o.units, units);
        EXPECT_EQ(p.unitsText, units);
        EXPECT_EQ(p.scenario.stats.twoDiceRolls, dr == 1 ? 1 : 0);

        p.modifiers = modifiersFor(-2);
        const ActivationOutcome again = reevaluateActivation(p);
        EXPECT_EQ(again.status, dr == 1 ? "Still automatic activation" : "Still automatic removal");
        EXPECT_EQ(again.modifier, "-2");
        EXPECT_EQ(again.finalDr, std::to_string(dr - 2));
        EXPECT_FALSE(again.units || again.a1);
    }
}

// From 2 to 5 the unit activates when dr + modifiers is at most the AC number,
// on the roll and on re-evaluation. The units are drawn before the verdict, so
// that a re-evaluation can show them after a removal.
TEST(Activation, VerdictAtTheAcNumber) {
    for (int dr = 2; dr <= 5; ++dr) {
        for (int ac = 2; ac <= 5; ++ac) {
            for (int total = -7; total <= 2; ++total) {
                SCOPED_TRACE("dr " + std::to_string(dr) + " ac " + std::to_string(ac) + " total " +
                             std::to_string(total));
                const bool activates = dr + total <= ac;
                ProgramState p = rollingDr(dr);
                p.scenario.acNumber = ac;
                p.modifiers = modifiersFor(total);
                const ActivationOutcome o = rollActivation(p);
                EXPECT_EQ(o.status, activates ? "S? Activated" : "S? Removed");
                EXPECT_EQ(o.modifier, std::to_string(total));
                EXPECT_EQ(o.finalDr, std::to_string(dr + total));
                EXPECT_EQ(o.a1, activates ? "A1 DR = 7/7" : "");
                EXPECT_EQ(o.units, activates ? kNoneDrawn : "(No units to activate)");
                EXPECT_EQ(p.unitsText, kNoneDrawn);

                const ActivationOutcome again = reevaluateActivation(p);
                EXPECT_EQ(again.status, o.status);
                EXPECT_EQ(again.finalDr, o.finalDr);
                EXPECT_EQ(again.units, activates ? kNoneDrawn : "(not applicable)");
                // An activation leaves the A1 field as it is; a removal empties it.
                EXPECT_EQ(again.a1, activates ? std::nullopt : std::optional<std::string>(""));
                p.modifiers = modifiersFor(-7);
                EXPECT_EQ(reevaluateActivation(p).units, kNoneDrawn) << "a later activation shows the units drawn";
                EXPECT_EQ(p.scenario.stats.oneDieRolls, 1) << "re-evaluation throws nothing";
            }
        }
    }
}

TEST(Activation, ManualActivationDrawsUnitsWithoutAnActivationRoll) {
    ProgramState p;
    resetScenario(p, 1);
    p.scenario.msr = 1;
    seedGenerator(p, seedGiving({{2, 6}}));
    const ActivationOutcome o = manualActivation(p);
    EXPECT_EQ(o.status, "Manual Activation");
    EXPECT_EQ(o.a1, "A1 DR = 6/7") << "the A1 DR as thrown, then with its modifier";
    EXPECT_EQ(o.units, "(None) (A1 DR = 6)");
    EXPECT_FALSE(o.dr || o.modifier || o.finalDr);
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 0);

    // With no activation dr yet, a modifier change shows only the numbers.
    p.modifiers = modifiersFor(-1);
    const ActivationOutcome again = reevaluateActivation(p);
    EXPECT_EQ(again.modifier, "-1");
    EXPECT_EQ(again.finalDr, "-1");
    EXPECT_FALSE(again.status || again.units || again.a1);
}

// Each group of nationalities has its own conditions, told apart here by the
// farthest range at which FRIENDLY infantry activates a hidden unit.
TEST(Activation, ConditionsTextByNationalityGroup) {
    const struct {
        std::vector<int> nationalities;
        const char *farthest;
    } groups[] = {{{1, 0, -3, 9}, "within 8 "}, {{2, 3}, "within 12 "}, {{4, 5}, "within 6 "}, {{6, 7}, "within 10 "}};
    for (const auto &g : groups) {
        for (int nationality : g.nationalities) {
            const std::string text = activationConditionsText(nationality);
            EXPECT_EQ(text.find(g.farthest), text.find("within")) << nationality;
            EXPECT_EQ(text, activationConditionsText(g.nationalities[0])) << nationality;
        }
    }
}

} // namespace
} // namespace treva
