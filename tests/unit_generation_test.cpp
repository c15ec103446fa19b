#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "activation/unit_tables.h"
#include "activation/units.h"
#include "seeds.h"
#include "state/text.h"

namespace treva {
namespace {

using testing::seedGiving;

ProgramState scenarioFor(int nationality, int yearIndex, int month) {
    ProgramState p;
    resetScenario(p, 1);
    p.scenario.nationality = nationality;
    p.scenario.yearIndex = yearIndex;
    p.scenario.month = month;
    return p;
}

std::vector<std::string> linesOf(const std::string &text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find('\r', start)) != std::string::npos; start = at + 1)
        lines.push_back(text.substr(start, at - start));
    lines.push_back(text.substr(start));
    return lines;
}

TEST(GenerateUnits, WorkedExampleRussian1941) {
    ProgramState p = scenarioFor(1, 6, 3);
    seedGenerator(p, seedGiving({{2, 5}, {2, 6}, {2, 5}, {1, 3}}));
    std::string out;
    EXPECT_EQ(generateUnits(p, 4, out, 500), 0);
    EXPECT_EQ(out, "4-4-7 (x2 DR = 5/7)\r"
                   "8-0/(Commissar) (x3 DR = 6/7)\r"
                   "LMG (x6 DR = 5)\r"
                   "Entrenchment (A5 DR = 3/3)");
    EXPECT_EQ(p.scenario.stats.twoDiceRolls, 3);
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 1);
}

TEST(GenerateUnits, AdvanceLowersTheResultAndSmokesWithoutADie) {
    ProgramState p = scenarioFor(1, 6, 3);
    p.scenario.attitude = 1;
    // A1 DR 5 under Advance is result 4: squad, leader, support weapon, fortification.
    seedGenerator(p, seedGiving({{2, 5}, {2, 6}, {2, 5}}));
    std::string out;
    EXPECT_EQ(generateUnits(p, 5, out, 500), -1);
    const auto lines = linesOf(out);
    ASSERT_EQ(lines.size(), 4u) << out;
    EXPECT_EQ(lines[3], "smoke");
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 0);
    EXPECT_EQ(p.scenario.stats.twoDiceRolls, 3);
}

TEST(GenerateUnits, ResultSevenShowsTheA1DrAsThrown) {
    ProgramState p = scenarioFor(2, 6, 1);
    p.scenario.a1Modifier = -2;
    std::string out;
    EXPECT_EQ(generateUnits(p, 9, out, 500), -2);
    EXPECT_EQ(out, "(None) (A1 DR = 9)");
    EXPECT_EQ(p.scenario.stats.twoDiceRolls, 0);
}

TEST(GenerateUnits, OutOfRangeResultsThrowNoDice) {
    for (int32_t modifier : {-100, 5, INT32_MAX, INT32_MIN}) {
        ProgramState p = scenarioFor(1, 4, 1);
        p.scenario.a1Modifier = modifier;
        p.scenario.msr = -2;
        std::string out = "old";
        generateUnits(p, 12, out, 500);
        EXPECT_EQ(out, "Die not initialized") << modifier;
        EXPECT_EQ(p.scenario.stats.twoDiceRolls + p.scenario.stats.oneDieRolls, 0);
    }
}

TEST(GenerateUnits, EveryResultButSevenAndThirteenThrowsADR) {
    for (int result = -3; result <= 14; ++result) {
        ProgramState p = scenarioFor(3, 8, 7);
        p.scenario.a1Modifier = result - 7;
        std::string out;
        const int64_t modifier = generateUnits(p, 7, out, 500);
        EXPECT_EQ(modifier, result - 7);
        const int drs = p.scenario.stats.twoDiceRolls;
        if (result == 7)
            EXPECT_EQ(drs, 0);
        else if (result == 13) {
            EXPECT_EQ(drs, 0);
            EXPECT_EQ(out, "SPG");
        } else {
            EXPECT_GE(drs, 1) << "result " << result;
        }
        EXPECT_EQ(out.find('\n'), std::string::npos);
        // Only result 10 ends in a line break: its leader carries one.
        EXPECT_EQ(out.back() == '\r', result == 10) << "result " << result;
    }
}

TEST(GenerateUnits, LinesPerResult) {
    // How many lines each A1 result writes (guns take two).
    const int expected[] = {2, 2, 2, 2, 2, 1, 5, 4, 3, 1, 1, 1, 1, 4, 2, 3, 1, 4};
    for (int result = -3; result <= 14; ++result) {
        ProgramState p = scenarioFor(1, 8, 1);
        p.scenario.a1Modifier = result - 7;
        std::string out;
        generateUnits(p, 7, out, 500);
        EXPECT_EQ(int(linesOf(out).size()), expected[result + 3]) << "result " << result << ": " << out;
    }
}

TEST(GenerateUnits, GunLinesShareOneDR) {
    ProgramState p = scenarioFor(2, 8, 1);
    p.scenario.a1Modifier = 0;
    std::string out;
    generateUnits(p, 12, out, 500);
    const auto lines = linesOf(out);
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(lines[1].rfind("Outside: ", 0), 0u);
    ASSERT_EQ(lines[2].rfind("Inside : ", 0), 0u);
    const auto dr = [](const std::string &l) { return l.substr(l.rfind("(x6 DR = ")); };
    EXPECT_EQ(dr(lines[1]), dr(lines[2]));
}

// Finds a seed for result 3 (two full squads, leader, support weapon,
// fortification) whose squads come from the given Russian 1943 rows.
void expectLeaderShiftAfterSquads(int x2a, int x2b, int wantShift) {
    ProgramState p = scenarioFor(1, 8, 1); // Russian 1943: offset 0, date shift 0
    p.scenario.a1Modifier = -4;
    seedGenerator(p, seedGiving({{2, x2a}, {2, x2b}, {2, 7}, {2, 7}, {1, 3}}));
    std::string out;
    generateUnits(p, 7, out, 500);
    const auto lines = linesOf(out);
    ASSERT_EQ(lines.size(), 5u) << out;
    char leader[32];
    std::snprintf(leader, sizeof leader, "(x3 DR = 7/%i)", 7 + wantShift);
    EXPECT_NE(lines[2].find(leader), std::string::npos) << lines[2];
    char fort[32];
    std::snprintf(fort, sizeof fort, "(A5 DR = 3/%i)", 3 + wantShift);
    EXPECT_NE(lines[4].find(fort), std::string::npos) << lines[4];
}

TEST(GenerateUnits, SquadClassesShiftLeaderAndFortification) {
    expectLeaderShiftAfterSquads(12, 11, +1); // both class 4
    expectLeaderShiftAfterSquads(12, 7, 0);   // class 4 and class 1
    expectLeaderShiftAfterSquads(7, 2, -1);   // a class 0 squad
}

TEST(GenerateUnits, FortificationBeyondTheTableReadsItsEnds) {
    // Hold, MSR -2, a class 0 squad, A5 dr 1: the sum is -2.
    ProgramState p = scenarioFor(1, 8, 1);
    p.scenario.msr = -2;
    p.scenario.a1Modifier = 3; // result 3 from an A1 DR of 2
    seedGenerator(p, seedGiving({{2, 2}, {2, 7}, {2, 7}, {2, 7}, {1, 1}}));
    std::string out;
    generateUnits(p, 2, out, 500);
    EXPECT_EQ(linesOf(out).back(), "x+5+7 (A5 DR = 1/-2)");

    ProgramState q = scenarioFor(1, 8, 1);
    q.scenario.a5Modifier = 1000;
    q.scenario.a1Modifier = -3; // result 4
    seedGenerator(q, seedGiving({{2, 7}, {2, 7}, {2, 7}, {1, 6}}));
    generateUnits(q, 7, out, 500);
    EXPECT_EQ(linesOf(out).back(), "(No Forts) (A5 DR = 6/1006)");
}

TEST(GenerateUnits, CutAtCapacityKeepsTheMark) {
    ProgramState p = scenarioFor(1, 6, 3);
    std::string out;
    generateUnits(p, 3, out, 12);
    ASSERT_EQ(out.size(), 11u);
    EXPECT_EQ(out[10], kTruncationMark);
}

TEST(UnitTables, RussianEarlyWarRowsReachRowFourteen) {
    const UnitTableSet set = selectUnitTables(1, 5, 1);
    const int offset = (*set.offsets)[5];
    EXPECT_EQ(offset, 2);
    EXPECT_STREQ((*set.squads)[12 + offset].fullSquad, "4-2-6"); // row 14
    EXPECT_STREQ((*set.squads)[2 + offset].fullSquad, "4-5-8");  // row 4
}

TEST(UnitTables, NoOtherTableReachesRowFourteenOrRowZero) {
    for (int nationality = 0; nationality < 8; ++nationality) {
        for (int year = 4; year <= 10; ++year) {
            const UnitTableSet set = selectUnitTables(nationality, year, 1);
            const int offset = (*set.offsets)[year];
            EXPECT_GE(2 + offset, 1);
            for (int dr = 2; dr <= 12; ++dr)
                EXPECT_GE((*set.squads)[dr + offset].qualityClass, 0) << nationality << " " << year << " " << dr;
            if (nationality != 1) {
                EXPECT_LE(12 + offset, 13);
            }
        }
    }
}

TEST(UnitTables, GenericNationalityUsesPlaceholdersAndGermanRows) {
    const UnitTableSet unknown = selectUnitTables(0, 4, 1);
    const UnitTableSet german = selectUnitTables(2, 4, 1);
    EXPECT_EQ(unknown.offsets, german.offsets);
    EXPECT_EQ(unknown.leaders, german.leaders);
    for (int dr = 2; dr <= 12; ++dr) {
        EXPECT_STREQ((*unknown.supportWeapons)[dr], "(SW)");
        EXPECT_STREQ((*unknown.afvs)[dr], "AFV");
        EXPECT_STREQ((*unknown.outsideGuns)[dr], "Gun");
        EXPECT_STREQ((*unknown.insideGuns)[dr], "Gun");
    }
    EXPECT_STREQ((*unknown.squads)[5].fullSquad, "Full Squad");
    EXPECT_STREQ((*unknown.squads)[5].halfSquad, "Half Squad");
    // 1939 reads rows 1..11, 1945 rows 3..13.
    EXPECT_EQ(2 + (*unknown.offsets)[4], 1);
    EXPECT_EQ(12 + (*unknown.offsets)[10], 13);
}

TEST(UnitTables, SharedTablesAcrossDates) {
    EXPECT_EQ(selectUnitTables(2, 7, 1).supportWeapons, selectUnitTables(2, 4, 1).supportWeapons); // 1942 = 1939
    EXPECT_EQ(selectUnitTables(2, 5, 1).supportWeapons, selectUnitTables(2, 4, 1).supportWeapons); // 1940 = 1939
    EXPECT_EQ(selectUnitTables(2, 6, 1).supportWeapons, selectUnitTables(2, 8, 1).supportWeapons); // 1941 = 1943
    EXPECT_NE(selectUnitTables(2, 6, 1).supportWeapons, selectUnitTables(2, 4, 1).supportWeapons);
    EXPECT_EQ(selectUnitTables(3, 8, 6).afvs, selectUnitTables(3, 10, 1).afvs); // Jun 1943 = 1945
    for (int nationality : {4, 5}) {
        for (int year = 4; year <= 10; ++year)
            EXPECT_EQ(selectUnitTables(nationality, year, 7).afvs, selectUnitTables(3, 4, 1).afvs);
    }
}

TEST(UnitTables, BritishEarlyGunsAndInsideGuns) {
    for (int nationality : {6, 7}) {
        for (int date = 4 * 12; date < 8 * 12 + 6; ++date) { // January 1939 .. June 1943
            const UnitTableSet set = selectUnitTables(nationality, date / 12, date % 12 + 1);
            for (int dr = 2; dr <= 12; ++dr) EXPECT_STREQ((*set.outsideGuns)[dr], "Gun");
        }
        const UnitTableSet late = selectUnitTables(nationality, 10, 5);
        for (int dr = 2; dr <= 12; ++dr) EXPECT_STREQ((*late.insideGuns)[dr], "6 pdr");
    }
    EXPECT_NE(selectUnitTables(6, 9, 1).afvs, selectUnitTables(7, 9, 1).afvs);
}

// The months (as yearIndex * 12 + month - 1) at which a table changes, from
// January 1939 to December 1945.
struct Periods {
    int nationality;
    const X6Table *UnitTableSet::*kind;
    const char *name;
    std::vector<int> starts;
};

int at(int year, int month) { return (year - 1935) * 12 + month - 1; }

TEST(UnitTables, TablesChangeExactlyAtTheirDates) {
    using S = UnitTableSet;
    const std::vector<Periods> periods = {
        {1, &S::supportWeapons, "Russian SW", {at(1942, 1), at(1943, 1), at(1944, 1), at(1945, 1)}},
        {1, &S::afvs, "Russian AFV", {at(1941, 1), at(1942, 1), at(1943, 1), at(1944, 1)}},
        {1, &S::outsideGuns, "Russian Out", {at(1942, 1), at(1943, 1), at(1944, 1)}},
        {1, &S::insideGuns, "Russian In", {at(1942, 1), at(1943, 1), at(1944, 1)}},
        {2, &S::supportWeapons, "German SW", {at(1941, 1), at(1942, 1), at(1943, 1), at(1944, 1)}},
        {2,
         &S::afvs,
         "German AFV",
         {at(1940, 1), at(1941, 1), at(1942, 1), at(1943, 1), at(1943, 7), at(1944, 1), at(1944, 7)}},
        {2, &S::outsideGuns, "German Out", {at(1942, 1), at(1944, 1)}},
        {2, &S::insideGuns, "German In", {at(1942, 1), at(1944, 1)}},
        {3, &S::supportWeapons, "American SW", {at(1943, 1), at(1944, 1)}},
        {3, &S::afvs, "American AFV", {at(1943, 6), at(1944, 1), at(1944, 6), at(1945, 1)}},
        {3, &S::outsideGuns, "American Out", {at(1943, 7), at(1944, 6)}},
        {3, &S::insideGuns, "American In", {at(1943, 7), at(1944, 6)}},
        {4, &S::outsideGuns, "Partisan Out", {}},
        {5, &S::supportWeapons, "Partisan SW", {}},
        {6, &S::supportWeapons, "British SW", {at(1944, 6)}},
        {7, &S::outsideGuns, "British Out", {at(1943, 7), at(1944, 1)}},
        {6, &S::insideGuns, "British In", {}},
        {7, &S::afvs, "British AFV", {}},
    };
    for (const Periods &p : periods) {
        const X6Table *previous = nullptr;
        for (int date = at(1939, 1); date <= at(1945, 12); ++date) {
            const X6Table *table = selectUnitTables(p.nationality, date / 12, date % 12 + 1).*p.kind;
            ASSERT_NE(table, nullptr);
            if (previous) {
                const bool starts = std::find(p.starts.begin(), p.starts.end(), date) != p.starts.end();
                EXPECT_EQ(table != previous, starts) << p.name << " at " << 1935 + date / 12 << "/" << date % 12 + 1;
            }
            previous = table;
        }
    }
}

TEST(UnitTables, LeaderDateShiftBoundaries) {
    struct Case {
        int nationality, year, month, shift;
    };
    const Case cases[] = {
        {1, 1939, 1, +1},  {1, 1941, 12, +1}, {1, 1942, 1, 0},  {1, 1944, 5, 0},  {1, 1944, 6, -1},
        {1, 1945, 12, -1}, {2, 1940, 12, 0},  {2, 1941, 1, -1}, {2, 1943, 8, -1}, {2, 1943, 9, 0},
        {2, 1944, 12, 0},  {2, 1945, 1, +1},  {3, 1941, 12, 0}, {3, 1942, 1, +1}, {3, 1943, 12, +1},
        {3, 1944, 1, 0},   {3, 1945, 1, -1},  {0, 1945, 1, 0},  {4, 1939, 1, 0},  {7, 1945, 6, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(leaderDateShift(c.nationality, c.year - 1935, c.month), c.shift)
            << c.nationality << " " << c.year << "/" << c.month;
}

TEST(UnitTables, LeaderIndexStaysInsideTheTable) {
    // x3 DR 2..12 plus a flag shift of -1..+1 and this date shift reads
    // entries 0..14 only when the date shift is -1..+1.
    for (int nationality = 0; nationality < 8; ++nationality)
        for (int year = 4; year <= 10; ++year)
            for (int month = 1; month <= 12; ++month) {
                const int shift = leaderDateShift(nationality, year, month);
                EXPECT_TRUE(shift >= -1 && shift <= 1) << nationality << " " << year << "/" << month;
            }
}

TEST(UnitTables, PartisanLeaderRollReadsTheStar) {
    // Partisan squads are all class 0, so the leader roll carries -1.
    ProgramState p = scenarioFor(4, 6, 1);
    p.scenario.a1Modifier = 3; // result 10 from an A1 DR of 7
    seedGenerator(p, seedGiving({{2, 7}, {2, 7}, {2, 2}}));
    std::string out;
    generateUnits(p, 7, out, 500);
    EXPECT_EQ(linesOf(out)[2], "* (x3 DR = 2/1)");
}

TEST(UnitTables, MarderKeepsItsDoubleBlank) { EXPECT_STREQ((*selectUnitTables(2, 9, 1).afvs)[6], "Marder  III(t)M"); }

} // namespace
} // namespace treva
