#include <gtest/gtest.h>

#include <cstring>

#include "state/program_state.h"
#include "state/roll_history.h"

namespace treva {
namespace {

void fixedClock(char (&text)[20]) { std::strcpy(text, "2026-12-07 14:05:09"); }

ProgramState seeded() {
    ProgramState p;
    resetScenario(p, 7);
    p.clock = fixedClock;
    p.scenario.yearIndex = 9;
    p.scenario.month = 6;
    p.scenario.attitude = 1;
    return p;
}

const char *const kLabels[] = {"A", "B", "C"};

// The roller records what it threw, and the record matches the dice the
// statistics counted.
TEST(RollHistory, TheRollerRecordsEachRollWithItsFaces) {
    ProgramState p = seeded();
    const int dr = rollDice(p, 1, 6, "Activation dr");
    const int DR = rollDice(p, 2, 6, "A1 DR");
    const auto [a, b] = rollTwoSingleDice(p, "INF Action DR");
    const int pick = drawPick(p, "A - GG hexes", 3, kLabels);
    clearDieStats(p);
    const std::vector<RollEntry> &e = p.history.entries;
    ASSERT_EQ(e.size(), 5u);
    EXPECT_STREQ(e[0].time, "2026-12-07 14:05:09");
    EXPECT_EQ(e[0].purpose, "Activation dr");
    EXPECT_EQ(rollText(e[0]), std::to_string(dr));
    EXPECT_EQ(e[1].dice[0] + e[1].dice[1], DR);
    EXPECT_EQ(rollText(e[1]),
              std::to_string(e[1].dice[0]) + " + " + std::to_string(e[1].dice[1]) + " = " + std::to_string(DR));
    EXPECT_EQ(rollText(e[2]), std::to_string(a) + ", " + std::to_string(b));
    EXPECT_EQ(e[3].pick, kLabels[pick]);
    EXPECT_FALSE(e[3].counted) << "a pick is no die roll";
    EXPECT_TRUE(e[0].counted && e[1].counted && e[2].counted);
    EXPECT_EQ(e[4].kind, RollKind::StatsCleared);
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 0);
    EXPECT_EQ(historyRow(e[1]).substr(0, 38), "2026-12-07 14:05:09  A1 DR            ");
    EXPECT_NE(historyRow(e[1]).find("June 1944, Advance"), std::string::npos);
}

TEST(RollHistory, CountedRollsStartAgainWhenTheStatisticsAreCleared) {
    ProgramState p = seeded();
    rollDice(p, 2, 6, "A1 DR");
    clearDieStats(p);
    rollDice(p, 1, 6, "Activation dr");
    rollTwoSingleDice(p, "AFV Action DR");
    rollDice(p, 2, 6, "x6 DR");
    drawPick(p, "1 - 10 hexes", 10);
    const CountedRolls n = countedSinceCleared(p.history);
    EXPECT_EQ(n.oneDie, p.scenario.stats.oneDieRolls);
    EXPECT_EQ(n.twoDice, p.scenario.stats.twoDiceRolls);
    EXPECT_EQ(n.oneDie, 3);
    EXPECT_EQ(n.twoDice, 1);
}

TEST(RollHistory, TheFileTextReadsBackAsItWasWritten) {
    ProgramState p = seeded();
    for (int i = 0; i < 50; ++i) rollDice(p, 1 + i % 2, 6, i % 3 ? "x6 DR" : "Direction dr");
    rollTwoSingleDice(p, "INF Action DR");
    drawPick(p, "A - GG hexes", 3, kLabels);
    clearDieStats(p);
    const std::string text = historyFileText(p.history);
    RollHistory read;
    std::string error;
    ASSERT_TRUE(parseHistoryFile(text, read, error)) << error;
    EXPECT_EQ(read.entries, p.history.entries);
    EXPECT_EQ(historyFileText(read), text);
    // Lines ended the Windows way read the same.
    std::string crlf;
    for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    RollHistory fromCrlf;
    ASSERT_TRUE(parseHistoryFile(crlf, fromCrlf, error)) << error;
    EXPECT_EQ(fromCrlf.entries, p.history.entries);
}

TEST(RollHistory, ADamagedFileIsRefusedWithTheLineAndLeavesTheHistoryAlone) {
    const std::string header = "TREVA roll history 1\n";
    const std::string good = "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n";
    RollHistory history;
    std::string error;
    ASSERT_TRUE(parseHistoryFile(header + good, history, error)) << error;
    ASSERT_EQ(history.entries.size(), 1u);
    const struct {
        std::string text;
        const char *error;
    } bad[] = {
        {"", "it is empty"},
        {"roll history\n" + good, "it is not a TREVA roll history"},
        {header + good + "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 8\tcounted\t1944-06\tHold\n", "line 3 is damaged"},
        {header + "2026-12-07 14:05:09\tA1 DR\t7\tcounted\t1944-06\tHold\n", "line 2 is damaged"},
        {header + "2026-12-07 14:05:09\tHexes\tpick GG\tcounted\t1944-06\tHold\n", "line 2 is damaged"},
        {header + "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-13\tHold\n", "line 2 is damaged"},
        {header + "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tAttack\n", "line 2 is damaged"},
        {header + "2026-12-07 14:05\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n", "line 2 is damaged"},
        {header + "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\n", "line 2 is damaged"},
        {header + std::string(kHistoryFileLimit, 'x'), "it is larger than 64 MB"},
    };
    for (const auto &b : bad) {
        EXPECT_FALSE(parseHistoryFile(b.text, history, error)) << b.error;
        EXPECT_EQ(error, b.error);
        EXPECT_EQ(history.entries.size(), 1u);
    }
}

} // namespace
} // namespace treva
