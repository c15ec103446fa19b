#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "actions/priority_tables.h"
#include "seeds.h"

namespace treva {
namespace {

ProgramState scenarioWith(int attitude, int orientation) {
    ProgramState p;
    resetScenario(p, 1);
    p.scenario.attitude = attitude;
    p.scenario.mapOrientation = orientation;
    return p;
}

// Each table's rows split 2..12 as the printed sheet does (the first DR of
// each row here); outside that range a table shows a mis-die roll. Each
// lookup but the infantry ones shows just its table's text.
TEST(PriorityTables, RowsCoverTwoToTwelveWithoutGapsOrOverlaps) {
    using Lookup = void (*)(ProgramState &, int, ActionFields &);
    const struct {
        PriorityTable table;
        std::vector<int> firstDrs;
        Lookup lookup;
    } tables[] = {{PriorityTable::IftAttack, {2, 4, 5, 6, 7, 8, 9, 10, 11}, nullptr},
                  {PriorityTable::AdvanceMovement, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, nullptr},
                  {PriorityTable::HoldMovement, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, nullptr},
                  {PriorityTable::VehicleMovement, {2, 5, 7, 8, 9, 10}, vehicleMovementLookup},
                  {PriorityTable::Latw, {2, 5, 7, 8, 10}, latwLookup},
                  {PriorityTable::OrdnanceVsVehicle, {2, 4, 6, 7, 9, 11}, ordnanceVsVehicleLookup},
                  {PriorityTable::OrdnanceVsInfantry, {2, 5, 7, 8, 10}, ordnanceVsInfantryLookup}};
    for (const auto &t : tables) {
        std::vector<int> firstDrs;
        const PriorityRow *previous = nullptr;
        for (int dr = 1; dr <= 13; ++dr) {
            const PriorityRow *row = findPriorityRow(t.table, dr);
            const std::string text = priorityText(t.table, dr);
            if (t.lookup) {
                ProgramState p = scenarioWith(0, 0);
                ActionFields f;
                t.lookup(p, dr, f);
                EXPECT_EQ(f.results, text) << int(t.table) << " DR " << dr;
                EXPECT_FALSE(f.title || f.roll || f.dice || f.direction || f.picture) << "only the results";
            }
            if (dr == 1 || dr == 13) {
                EXPECT_EQ(row, nullptr);
                EXPECT_EQ(text, "(mis-die roll)");
                continue;
            }
            ASSERT_NE(row, nullptr) << int(t.table) << " DR " << dr;
            if (row != previous) {
                EXPECT_EQ(row->firstDr, dr) << int(t.table) << ": a row starts where the one before ended";
                EXPECT_EQ(previous ? previous->lastDr : 1, dr - 1) << int(t.table);
                firstDrs.push_back(dr);
                previous = row;
            }
            std::string joined;
            for (const char *part : row->parts) joined += part ? part : "";
            EXPECT_EQ(text, joined) << int(t.table) << " DR " << dr << ": the row's parts, whole";
        }
        EXPECT_EQ(previous->lastDr, 12);
        EXPECT_EQ(firstDrs, t.firstDrs) << int(t.table);
    }
}

TEST(PriorityTables, TextsKeepTheirCodePageBytes) {
    EXPECT_NE(priorityText(PriorityTable::OrdnanceVsVehicle, 4).find("MA \xB3 firer\xD5s"), std::string::npos);
}

// Under Advance the marked rows send the unit in a direction of its own, which
// the lookup rolls and pictures; Hold rows never do.
TEST(Lookups, InfantryMovementByAttitudeAndItsDirections) {
    const std::vector<int> marked = {3, 4, 5, 6, 8, 10, 11, 12};
    for (int attitude : {0, 1}) {
        for (int orientation : {0, 1}) {
            for (int dr = 2; dr <= 12; ++dr) {
                ProgramState p = scenarioWith(attitude, orientation);
                seedGenerator(p, testing::seedGiving({{1, 4}}));
                ActionFields f;
                infantryMovementLookup(p, dr, f);
                const PriorityTable table =
                    attitude == 1 ? PriorityTable::AdvanceMovement : PriorityTable::HoldMovement;
                EXPECT_EQ(f.results, priorityText(table, dr)) << attitude << " DR " << dr;
                EXPECT_EQ(f.dice, "-");
                EXPECT_EQ(f.roll, "DR = " + std::to_string(dr));
                const bool rolls = attitude == 1 && std::find(marked.begin(), marked.end(), dr) != marked.end();
                EXPECT_EQ(p.scenario.stats.oneDieRolls, rolls ? 1 : 0) << attitude << " DR " << dr;
                EXPECT_EQ(f.direction, rolls ? "dr = 4" : "") << attitude << " DR " << dr;
                EXPECT_EQ(f.picture, rolls ? std::optional<int>(directionResultBitmap(orientation, 4)) : std::nullopt);
            }
        }
    }
}

TEST(DirectionPictures, KeyAndResultByOrientation) {
    EXPECT_EQ(directionKeyBitmap(0), 118);
    EXPECT_EQ(directionKeyBitmap(1), 119);
    EXPECT_EQ(directionKeyBitmap(-3), 119) << "any non-zero orientation is pointed-topped";
    const int flat[] = {120, 121, 121, 121, 121, 122};
    const int pointed[] = {123, 123, 123, 125, 125, 125};
    for (int dr = 1; dr <= 6; ++dr) {
        EXPECT_EQ(directionResultBitmap(0, dr), flat[dr - 1]) << dr;
        EXPECT_EQ(directionResultBitmap(1, dr), pointed[dr - 1]) << dr;
        EXPECT_EQ(directionResultBitmap(7, dr), pointed[dr - 1]) << dr;
    }
}

} // namespace
} // namespace treva
