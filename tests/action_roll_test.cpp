#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "actions/action_roll.h"
#include "seeds.h"

namespace treva {
namespace {

// An action roll whose two single dice come up `a` and `b`.
ActionFields act(bool infantry, int attitude, int a, int b) {
    ProgramState p;
    resetScenario(p, 1);
    p.scenario.attitude = attitude;
    seedGenerator(p, testing::seedGiving({{1, a}, {1, b}}));
    const ActionFields fields = infantry ? infantryAction(p) : vehicleAction(p);
    EXPECT_EQ(fields.dice, "DR = " + std::to_string(a) + ", " + std::to_string(b));
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 2) << "two single dice, so that doubles show";
    EXPECT_EQ(p.scenario.stats.twoDiceRolls, 0);
    return fields;
}

TEST(ActionRoll, BandLimitsByAttitude) {
    using enum ActionBand;
    const struct {
        int attitude, total;
        ActionBand band;
    } cases[] = {
        {0, 2, Moves},       {0, 4, Moves}, {0, 5, Fires}, {0, 9, Fires}, {0, 10, Entrenches},
        {0, 11, Entrenches}, {0, 12, None}, {1, 7, Moves}, {1, 8, Fires}, {1, 10, Fires},
        {1, 11, Entrenches}, {1, 12, None}, {5, 7, Moves}, {5, 8, Fires}, // any non-zero attitude is Advance
    };
    for (const auto &c : cases) EXPECT_EQ(actionBand(c.attitude, c.total), c.band) << c.attitude << " " << c.total;
}

// The higher the doubles, the better the classes that panic.
TEST(ActionRoll, PanicByDoubles) {
    const struct {
        int total;
        bool firstLine, secondLine, all;
    } cases[] = {{2, false, false, false}, {4, false, true, false},  {6, true, true, false},
                 {8, true, true, false},   {10, false, false, true}, {12, false, false, true}};
    for (const auto &c : cases) {
        const std::string text = panicText(c.total);
        const auto has = [&](const char *fragment) { return text.find(fragment) != std::string::npos; };
        EXPECT_EQ(has("All Classes"), c.all) << c.total;
        EXPECT_EQ(has("Conscript/Green"), !c.all) << c.total;
        EXPECT_EQ(has("1st line"), c.firstLine) << c.total;
        EXPECT_EQ(has("2nd line"), c.secondLine) << c.total;
    }
}

// Doubles panic first; unless every class panics the unit then moves, fires
// (the attack priorities for its DR) or entrenches by its band.
TEST(InfantryAction, ResultByBandAfterAnyPanic) {
    const char *const fires = nullptr;
    const struct {
        int attitude, a, b;
        const char *results;
    } cases[] = {{0, 1, 1, "Unit MOVES"},
                 {0, 2, 3, fires},
                 {1, 2, 3, "Unit MOVES"},
                 {1, 4, 4, fires},
                 {0, 4, 6, "Unit ENTRENCHES"},
                 {1, 4, 6, fires},
                 {1, 5, 6, "Unit ENTRENCHES"},
                 {0, 5, 5, ""},
                 {1, 6, 6, ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.attitude) + ": " + std::to_string(c.a) + "+" + std::to_string(c.b));
        const int total = c.a + c.b;
        const ActionFields f = act(true, c.attitude, c.a, c.b);
        EXPECT_EQ(f.panic, c.a == c.b ? panicText(total) : "");
        EXPECT_EQ(f.results, c.results ? c.results : priorityText(PriorityTable::IftAttack, total));
        EXPECT_EQ(f.roll, c.results ? "-" : "DR = " + std::to_string(total));
        EXPECT_EQ(f.title->find("Attack") != std::string::npos, !c.results);
        // A panic of all classes ends the action: the direction keeps what it showed.
        const bool ended = c.results && !*c.results;
        EXPECT_EQ(f.direction, ended ? std::nullopt : std::optional<std::string>(""));
    }
}

// A vehicle fires in the fire band and moves otherwise, its third band and a
// 12 included; it never panics.
TEST(VehicleAction, FiresOrMoves) {
    const struct {
        int attitude, a, b;
        bool fires;
    } cases[] = {{0, 1, 3, false}, {0, 2, 3, true}, {0, 3, 6, true}, {0, 5, 5, false}, {0, 6, 6, false},
                 {1, 3, 4, false}, {1, 4, 4, true}, {1, 5, 5, true}, {1, 5, 6, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.attitude) + ": " + std::to_string(c.a) + "+" + std::to_string(c.b));
        const ActionFields f = act(false, c.attitude, c.a, c.b);
        EXPECT_EQ(f.results->find("Fires") != std::string::npos, c.fires);
        EXPECT_EQ(f.results == "Unit MOVES", !c.fires);
        EXPECT_EQ(f.panic, "");
        EXPECT_EQ(f.direction, "");
    }
}

} // namespace
} // namespace treva
