#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <string_view>
#include <vector>

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

// What a line of the unknown nationality's placeholder tables shows: F full
// squad, H half squad, L leader, W support weapon, A AFV, O and I outside and
// inside gun, 5 fortification, K smoke, N no units, S SPG, _ an empty line.
char kindOf(const std::string &line) {
    static const char *const texts[] = {
        "Full Squad (x2 DR",   "Half Squad (x2 DR", " (x3 DR", "(SW) (x6 DR",   "AFV (x6 DR", "Outside: Gun (x6 DR",
        "Inside : Gun (x6 DR", " (A5 DR",           "smoke",   "(None) (A1 DR", "SPG"};
    for (int i = 0; i < 11; ++i)
        if (line.find(texts[i]) != std::string::npos) return "FHLWAOI5KNS"[i];
    return line.empty() ? '_' : '?';
}

TEST(GenerateUnits, EachA1ResultDrawsItsUnitsWithDiceOfTheirOwn) {
    const char *const structure[] = {"AF", "AF", "AF", "AF", "AF",   "A",  "FFLW5", "FLW5", "FLW",
                                     "F",  "N",  "H",  "F",  "FFL_", "FH", "HOI",   "S",    "FOI5"};
    for (int attitude : {0, 1}) {
        for (int result = -3; result <= 14; ++result) {
            ProgramState p = scenarioFor(0, 8, 1);
            p.scenario.attitude = attitude;
            p.scenario.msr = -1;
            p.scenario.a1Modifier = result - 9 + 1 + attitude; // Advance takes one off
            std::string out;
            EXPECT_EQ(generateUnits(p, 9, out, kUnitsTextCapacity), result - 9);

            std::string want = structure[result + 3], got;
            if (attitude == 1) std::replace(want.begin(), want.end(), '5', 'K');
            for (const std::string &line : linesOf(out)) got += kindOf(line);
            EXPECT_EQ(got, want) << "result " << result << ": " << out;
            // One DR per unit, the two guns sharing theirs; a dr for the
            // fortification, none for smoke.
            int drs = 0;
            for (char kind : want) drs += std::string_view("FHLWAO").find(kind) != std::string_view::npos;
            EXPECT_EQ(p.scenario.stats.twoDiceRolls, drs) << "result " << result;
            EXPECT_EQ(p.scenario.stats.oneDieRolls, std::count(want.begin(), want.end(), '5'));
            EXPECT_EQ(out.find("(A1 DR = 9)") != std::string::npos, result == 7) << "the A1 DR as thrown";
        }
    }
}

TEST(GenerateUnits, ResultsOutsideTheTableThrowNoDice) {
    const struct {
        int a1Dr, msr, attitude;
        int32_t a1Modifier;
    } cases[] = {{2, 0, 0, -6}, {12, 0, 0, 3}, {12, 2, 0, INT32_MAX}, {2, -2, 1, INT32_MIN}};
    for (const auto &c : cases) {
        ProgramState p = scenarioFor(1, 4, 1);
        p.scenario.msr = c.msr;
        p.scenario.attitude = c.attitude;
        p.scenario.a1Modifier = c.a1Modifier;
        std::string out = "old";
        EXPECT_EQ(generateUnits(p, c.a1Dr, out, kUnitsTextCapacity), int64_t(c.msr) + c.a1Modifier - c.attitude)
            << "the modifier must not wrap";
        EXPECT_EQ(out, "Die not initialized") << c.a1Modifier;
        EXPECT_EQ(p.scenario.stats.twoDiceRolls + p.scenario.stats.oneDieRolls, 0);
    }
}

TEST(GenerateUnits, RowsFollowTheDiceTheYearAndTheDate) {
    // Russian 1941: the squad row is the DR plus two, the leader roll one higher.
    ProgramState p = scenarioFor(1, 6, 3);
    p.scenario.a1Modifier = -2; // result 5: squad, leader, support weapon
    seedGenerator(p, seedGiving({{2, 5}, {2, 6}, {2, 5}}));
    std::string out;
    generateUnits(p, 7, out, kUnitsTextCapacity);
    const UnitTableSet t = selectUnitTables(1, 6, 3);
    ASSERT_EQ((*t.squads)[7].qualityClass, 1) << "the leader roll needs a squad that shifts nothing";
    const std::vector<std::string> want = {std::string((*t.squads)[7].fullSquad) + " (x2 DR = 5/7)",
                                           std::string((*t.leaders)[7]) + " (x3 DR = 6/7)",
                                           std::string((*t.supportWeapons)[5]) + " (x6 DR = 5)"};
    EXPECT_EQ(linesOf(out), want);
}

// A class 0 squad takes one off the leader and fortification rolls, squads all
// of class 4 add one; the fortification sum beyond the table reads its ends.
TEST(GenerateUnits, SquadClassesShiftLeaderAndFortification) {
    const struct {
        int x2a, x2b, dr, msr, a5Modifier, shift, sum, entry;
    } cases[] = {{12, 11, 3, 0, 0, +1, 4, 4},
                 {12, 7, 3, 0, 0, 0, 3, 3},
                 {7, 2, 3, 0, 0, -1, 2, 2},
                 {2, 7, 1, -2, 0, -1, -2, 0},
                 {7, 7, 6, 0, 1000, 0, 1006, 7}};
    for (const auto &c : cases) {
        ProgramState p = scenarioFor(1, 8, 1); // Russian 1943: squad rows as thrown, no date shift
        p.scenario.msr = c.msr;
        p.scenario.a5Modifier = c.a5Modifier;
        p.scenario.a1Modifier = -4 - c.msr; // result 3: two squads, leader, support weapon, fortification
        seedGenerator(p, seedGiving({{2, c.x2a}, {2, c.x2b}, {2, 7}, {2, 7}, {1, c.dr}}));
        std::string out;
        generateUnits(p, 7, out, kUnitsTextCapacity);
        const auto lines = linesOf(out);
        ASSERT_EQ(lines.size(), 5u) << out;
        EXPECT_NE(lines[2].find("(x3 DR = 7/" + std::to_string(7 + c.shift) + ")"), std::string::npos) << lines[2];
        EXPECT_EQ(lines[4], std::string(fortificationTable[c.entry]) + " (A5 DR = " + std::to_string(c.dr) + "/" +
                                std::to_string(c.sum) + ")");
    }
}

TEST(GenerateUnits, OutputIsCutAtItsCapacityWithTheMark) {
    ProgramState p = scenarioFor(1, 6, 3);
    std::string out;
    generateUnits(p, 3, out, 12);
    ASSERT_EQ(out.size(), 11u);
    EXPECT_EQ(out[10], kTruncationMark);
}

TEST(UnitTables, EveryDrReadsARealSquadRow) {
    for (int nationality = 0; nationality < kNationalityCount; ++nationality) {
        for (int year = kFirstYearIndex; year <= kLastYearIndex; ++year) {
            const UnitTableSet set = selectUnitTables(nationality, year, 1);
            for (int dr = 2; dr <= 12; ++dr)
                EXPECT_GE((*set.squads)[dr + (*set.offsets)[year]].qualityClass, 0)
                    << nationality << " " << year << " " << dr;
        }
    }
}

// Which table each month from 1939 to 1945 uses: a table starts at each date
// (yymm) and runs to the next; equal letters mean the same table.
struct Periods {
    int nationality;
    const X6Table *UnitTableSet::*kind;
    std::vector<int> starts;
    std::string tables;
};

TEST(UnitTables, EachTableCoversItsDates) {
    using S = UnitTableSet;
    const Periods periods[] = {{1, &S::supportWeapons, {3901, 4201, 4301, 4401, 4501}, "abcde"},
                               {1, &S::afvs, {3901, 4101, 4201, 4301, 4401}, "abcde"},
                               {1, &S::outsideGuns, {3901, 4201, 4301, 4401}, "abcd"},
                               {1, &S::insideGuns, {3901, 4201, 4301, 4401}, "abcd"},
                               {2, &S::supportWeapons, {3901, 4101, 4201, 4301, 4401}, "ababc"},
                               {2, &S::afvs, {3901, 4001, 4101, 4201, 4301, 4307, 4401, 4407}, "abcdefgh"},
                               {2, &S::outsideGuns, {3901, 4201, 4401}, "abc"},
                               {2, &S::insideGuns, {3901, 4201, 4401}, "abc"},
                               {3, &S::supportWeapons, {3901, 4301, 4401}, "abc"},
                               {3, &S::afvs, {3901, 4306, 4401, 4406, 4501}, "abcdb"},
                               {3, &S::outsideGuns, {3901, 4307, 4406}, "abc"},
                               {3, &S::insideGuns, {3901, 4307, 4406}, "abc"},
                               {4, &S::outsideGuns, {3901}, "a"},
                               {5, &S::supportWeapons, {3901}, "a"},
                               {6, &S::supportWeapons, {3901, 4406}, "ab"},
                               {6, &S::insideGuns, {3901}, "a"},
                               {7, &S::outsideGuns, {3901, 4307, 4401}, "abc"},
                               {7, &S::afvs, {3901}, "a"}};
    for (const Periods &p : periods) {
        std::map<char, const X6Table *> seen;
        for (int year = 1939; year <= 1945; ++year) {
            for (int month = 1; month <= 12; ++month) {
                const int date = (year - 1900) * 100 + month;
                const auto period = std::upper_bound(p.starts.begin(), p.starts.end(), date) - p.starts.begin() - 1;
                const char label = p.tables[period];
                const X6Table *table = selectUnitTables(p.nationality, year - 1935, month).*p.kind;
                ASSERT_NE(table, nullptr);
                const auto known = seen.try_emplace(label, table).first;
                EXPECT_EQ(known->second, table) << p.nationality << " " << label << " " << year << "/" << month;
            }
        }
        std::set<const X6Table *> distinct;
        for (const auto &[label, table] : seen) distinct.insert(table);
        EXPECT_EQ(distinct.size(), seen.size()) << p.nationality << " " << p.tables << ": periods share a table";
    }
}

TEST(UnitTables, TablesSharedAcrossNationalities) {
    std::set<const void *> own; // squads, row offsets and leaders of each nationality
    for (int nationality : {1, 2, 3, 4, 6}) {
        const UnitTableSet t = selectUnitTables(nationality, 8, 1);
        own.insert({t.squads, t.offsets, t.leaders});
    }
    EXPECT_EQ(own.size(), 15u);
    const UnitTableSet unknown = selectUnitTables(0, 8, 1), german = selectUnitTables(2, 8, 1);
    EXPECT_EQ(unknown.offsets, german.offsets);
    EXPECT_EQ(unknown.leaders, german.leaders);
    EXPECT_NE(unknown.squads, german.squads);
    const X6Table *americanEarlyAfvs = selectUnitTables(3, 4, 1).afvs;
    for (int partisans : {4, 5}) EXPECT_EQ(selectUnitTables(partisans, 10, 7).afvs, americanEarlyAfvs);
    EXPECT_NE(selectUnitTables(4, 9, 1).outsideGuns, selectUnitTables(5, 9, 1).outsideGuns);
    EXPECT_NE(selectUnitTables(6, 9, 1).afvs, selectUnitTables(7, 9, 1).afvs);
    for (int british : {6, 7}) EXPECT_EQ(selectUnitTables(british, 8, 6).outsideGuns, unknown.outsideGuns);
}

TEST(UnitTables, LeaderDateShiftBoundaries) {
    const struct {
        int nationality, year, month, shift;
    } cases[] = {{1, 1939, 1, +1},  {1, 1941, 12, +1}, {1, 1942, 1, 0},  {1, 1944, 5, 0},  {1, 1944, 6, -1},
                 {1, 1945, 12, -1}, {2, 1940, 12, 0},  {2, 1941, 1, -1}, {2, 1943, 8, -1}, {2, 1943, 9, 0},
                 {2, 1944, 12, 0},  {2, 1945, 1, +1},  {3, 1941, 12, 0}, {3, 1942, 1, +1}, {3, 1943, 12, +1},
                 {3, 1944, 1, 0},   {3, 1945, 1, -1},  {0, 1945, 1, 0},  {4, 1939, 1, 0},  {7, 1945, 6, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(leaderDateShift(c.nationality, c.year - 1935, c.month), c.shift)
            << c.nationality << " " << c.year << "/" << c.month;
}

} // namespace
} // namespace treva
