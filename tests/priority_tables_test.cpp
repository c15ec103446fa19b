#include <gtest/gtest.h>

#include <set>

#include "actions/priority_tables.h"
#include "seeds.h"
#include "state/text.h"

namespace treva {
namespace {

const PriorityTable kAllTables[] = {
    PriorityTable::IftAttack,
    PriorityTable::AdvanceMovement,
    PriorityTable::HoldMovement,
    PriorityTable::VehicleMovement,
    PriorityTable::Latw,
    PriorityTable::OrdnanceVsVehicle,
    PriorityTable::OrdnanceVsInfantry,
};

ProgramState fresh(int attitude = 0, int orientation = 0) {
    ProgramState p;
    resetScenario(p, 1);
    p.scenario.attitude = attitude;
    p.scenario.mapOrientation = orientation;
    return p;
}

TEST(PriorityTables, EveryTableCoversTwoToTwelve) {
    for (PriorityTable t : kAllTables) {
        for (int dr = 2; dr <= 12; ++dr) {
            const PriorityRow *row = findPriorityRow(t, dr);
            ASSERT_NE(row, nullptr) << int(t) << " " << dr;
            const std::string text = priorityText(t, dr);
            EXPECT_LT(text.size(), kResultTextCapacity - 1) << "no row reaches the buffer's end";
            EXPECT_EQ(text.find('\n'), std::string::npos);
            EXPECT_EQ(text.find(kTruncationMark), std::string::npos);
        }
        EXPECT_EQ(findPriorityRow(t, 1), nullptr);
        EXPECT_EQ(findPriorityRow(t, 13), nullptr);
    }
}

TEST(PriorityTables, SharedRows) {
    EXPECT_EQ(priorityText(PriorityTable::IftAttack, 2), priorityText(PriorityTable::IftAttack, 3));
    EXPECT_EQ(priorityText(PriorityTable::IftAttack, 11), priorityText(PriorityTable::IftAttack, 12));
    EXPECT_NE(priorityText(PriorityTable::IftAttack, 10), priorityText(PriorityTable::IftAttack, 11));
}

TEST(PriorityTables, VehicleMovementNineIsSixPartsOf736Characters) {
    const PriorityRow *row = findPriorityRow(PriorityTable::VehicleMovement, 9);
    ASSERT_NE(row, nullptr);
    int parts = 0;
    for (const char *part : row->parts) parts += part != nullptr;
    EXPECT_EQ(parts, 6);
    EXPECT_EQ(priorityText(PriorityTable::VehicleMovement, 9).size(), 736u);
}

TEST(PriorityTables, CodePageBytesAreKept) {
    const std::string second = "If Known exists:\rIf closest \xB3 7 hexes: move toward, stopping at 6 [EXC: if new "
                               "Known appears, bear on it];\r";
    for (int dr : {5, 6}) EXPECT_STREQ(findPriorityRow(PriorityTable::VehicleMovement, dr)->parts[1], second.c_str());
    // Six rows hold 0xB3, one of them also 0xD5.
    std::set<const PriorityRow *> withB3, withD5;
    for (PriorityTable t : kAllTables) {
        for (int dr = 2; dr <= 12; ++dr) {
            const std::string text = priorityText(t, dr);
            if (text.find('\xB3') != std::string::npos) withB3.insert(findPriorityRow(t, dr));
            if (text.find('\xD5') != std::string::npos) withD5.insert(findPriorityRow(t, dr));
        }
    }
    EXPECT_EQ(withB3.size(), 6u);
    ASSERT_EQ(withD5.size(), 1u);
    EXPECT_NE(priorityText(PriorityTable::OrdnanceVsVehicle, 4).find("\xB3 firer\xD5s"), std::string::npos);
}

TEST(Lookups, MisDieRollOutsideTheTable) {
    using Lookup = void (*)(ProgramState &, int, ActionFields &);
    const Lookup lookups[] = {iftAttackLookup, vehicleMovementLookup, latwLookup, ordnanceVsVehicleLookup,
                              ordnanceVsInfantryLookup};
    for (Lookup lookup : lookups) {
        for (int dr : {1, 13, -40}) {
            ProgramState p = fresh();
            ActionFields f;
            lookup(p, dr, f);
            EXPECT_EQ(f.results, "(mis-die roll)") << dr;
        }
    }
}

TEST(Lookups, IftAttackWritesTitleTextAndRoll) {
    ProgramState p = fresh();
    ActionFields f;
    iftAttackLookup(p, 13, f);
    EXPECT_EQ(f.title, "Infantry Attack Directions");
    EXPECT_EQ(f.roll, "DR = 13");
    EXPECT_FALSE(f.dice);
    iftAttackLookup(p, 8, f);
    EXPECT_EQ(f.results, priorityText(PriorityTable::IftAttack, 8));
    EXPECT_EQ(f.roll, "DR = 8");
}

TEST(Lookups, OtherLookupsWriteOnlyTheResults) {
    ProgramState p = fresh();
    ActionFields f;
    vehicleMovementLookup(p, 7, f);
    latwLookup(p, 7, f);
    EXPECT_EQ(f.results, priorityText(PriorityTable::Latw, 7));
    EXPECT_FALSE(f.title || f.roll || f.dice || f.direction || f.picture);
}

TEST(Lookups, InfantryMovementByAttitude) {
    ProgramState hold = fresh(0), advance = fresh(1);
    ActionFields h, a;
    infantryMovementLookup(hold, 6, h);
    infantryMovementLookup(advance, 6, a);
    EXPECT_EQ(a.results, "Move full RAS");
    EXPECT_EQ(h.results, priorityText(PriorityTable::HoldMovement, 6));
    EXPECT_NE(h.results, a.results);
    EXPECT_EQ(h.dice, "-");
    EXPECT_EQ(h.roll, "DR = 6");
}

TEST(Lookups, MarkedAdvanceRowsRollTheirOwnDirection) {
    for (int orientation : {0, 1}) {
        for (int dr = 2; dr <= 12; ++dr) {
            ProgramState p = fresh(1, orientation);
            seedGenerator(p, testing::seedGiving({{1, 4}}));
            ActionFields f;
            infantryMovementLookup(p, dr, f);
            const bool marked = findPriorityRow(PriorityTable::AdvanceMovement, dr)->directionMark;
            EXPECT_EQ(p.scenario.stats.oneDieRolls, marked ? 1 : 0);
            if (marked) {
                EXPECT_EQ(f.direction, "dr = 4");
                EXPECT_EQ(f.picture, orientation == 0 ? 121 : 125);
            } else {
                EXPECT_EQ(f.direction, "");
                EXPECT_FALSE(f.picture);
            }
        }
    }
    int marked = 0;
    for (int dr = 2; dr <= 12; ++dr) marked += findPriorityRow(PriorityTable::AdvanceMovement, dr)->directionMark;
    EXPECT_EQ(marked, 8);
}

TEST(Lookups, HoldMovementNeverRollsADirection) {
    for (int dr = 2; dr <= 12; ++dr) {
        ProgramState p = fresh(0);
        ActionFields f;
        infantryMovementLookup(p, dr, f);
        EXPECT_EQ(f.direction, "");
        EXPECT_EQ(p.scenario.stats.oneDieRolls, 0);
    }
}

TEST(DirectionPictures, KeyAndResultByOrientation) {
    EXPECT_EQ(directionKeyBitmap(0), 118);
    EXPECT_EQ(directionKeyBitmap(1), 119);
    EXPECT_EQ(directionKeyBitmap(-3), 119);
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
