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
// statistics counted; the counted rolls start again when they are cleared.
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

    rollDice(p, 2, 6, "x6 DR");
    rollTwoSingleDice(p, "AFV Action DR");
    drawPick(p, "1 - 10 hexes", 10);
    const CountedRolls n = countedSinceCleared(p.history);
    EXPECT_EQ(n.oneDie, 2);
    EXPECT_EQ(n.twoDice, 1);
}

// The text reads back as it was written, with lines ended the Windows way
// or a byte-order mark too; and it may come in pieces of any size, so that a
// file of any length is read without holding it.
TEST(RollHistory, TheFileTextReadsBackAsItWasWrittenInPiecesOfAnySize) {
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
    std::string crlf;
    for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    RollHistory fromCrlf;
    ASSERT_TRUE(parseHistoryFile(crlf, fromCrlf, error)) << error;
    EXPECT_EQ(fromCrlf.entries, p.history.entries);

    const std::string marked = "\xEF\xBB\xBF" + text;
    for (const std::size_t size : {1u, 2u, 3u, 7u, 64u, 4096u}) {
        HistoryParser parser;
        for (std::size_t at = 0; at < marked.size(); at += size)
            ASSERT_TRUE(parser.feed(std::string_view(marked).substr(at, size))) << size << ": " << parser.error();
        ASSERT_TRUE(parser.finish()) << parser.error();
        EXPECT_EQ(parser.history().entries, p.history.entries) << size;
    }
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
        {header + std::string(kLongestHistoryLine + 1, 'x') + "\n", "line 2 is damaged"},
        {header + good + std::string(kLongestHistoryLine * 4, 'x'), "line 3 is damaged"},
        // Times the clock cannot show and dates no scenario has.
        {header + "2026-99-99 99:99:99\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n", "line 2 is damaged"},
        {header + "2026-02-29 10:00:00\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n", "line 2 is damaged"},
        {header + "2026-12-07 24:00:00\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n", "line 2 is damaged"},
        {header + "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t0000-00\tHold\n", "line 2 is damaged"},
        {header + "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-00\tHold\n", "line 2 is damaged"},
        {header + "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1950-06\tHold\n", "line 2 is damaged"},
    };
    for (const auto &b : bad) {
        EXPECT_FALSE(parseHistoryFile(b.text, history, error)) << b.error;
        EXPECT_EQ(error, b.error);
        EXPECT_EQ(history.entries.size(), 1u);
    }
}

// The file as a journal: a line cut short as it was written (the program
// stopped in the middle of a roll) is set aside, the rest is read; a whole
// row that only lacks its line end is a row.
TEST(RollHistory, ALastLineCutShortIsSetAsideAndTheRestIsRead) {
    const std::string header = "TREVA roll history 1\n";
    const std::string row = "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold";
    RollHistory history;
    std::string error;
    bool torn = false;
    for (std::size_t cut = 1; cut < row.size(); ++cut) {
        ASSERT_TRUE(parseHistoryFile(header + row + "\n" + row.substr(0, cut), history, error, &torn)) << cut;
        EXPECT_EQ(history.entries.size(), 1u) << cut;
        EXPECT_TRUE(torn) << cut;
    }
    ASSERT_TRUE(parseHistoryFile(header + row, history, error, &torn));
    EXPECT_FALSE(torn);
    EXPECT_EQ(history.entries.size(), 1u);
    // Only the last line: a cut line inside the file is damage.
    EXPECT_FALSE(parseHistoryFile(header + row.substr(0, 20) + "\n" + row + "\n", history, error));
}

// What other programs write: a byte-order mark, UTF-8 purposes, and the
// code page of files written by older versions.
TEST(RollHistory, TheFileIsReadInItsOwnEncoding) {
    const std::string rest = "\t4 + 3 = 7\tcounted\t1944-06\tHold\n";
    RollHistory history;
    std::string error;
    ASSERT_TRUE(parseHistoryFile("\xEF\xBB\xBFTREVA roll history 1\r\n2026-12-07 14:05:09\tW\xC3\xBCrfel" + rest,
                                 history, error))
        << error;
    ASSERT_EQ(history.entries.size(), 1u);
    EXPECT_EQ(history.entries[0].purpose, "W\xFCrfel") << "kept in the program's code page";
    const std::string written = historyFileText(history);
    EXPECT_NE(written.find("\tW\xC3\xBCrfel\t"), std::string::npos) << "written back in UTF-8";
    ASSERT_TRUE(parseHistoryFile("TREVA roll history 1\n2026-12-07 14:05:09\tW\xFCrfel" + rest, history, error));
    EXPECT_EQ(history.entries[0].purpose, "W\xFCrfel") << "an older file in the code page";
}

// Where a roll goes, judged from the file's first and last bytes alone: the
// next row's place, or why the file cannot take one.
TEST(RollHistory, TheEndOfAFileIsFoundFromItsFirstAndLastBytes) {
    const std::string header = "TREVA roll history 1\n";
    const std::string row = "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n";
    std::string many = header;
    for (int i = 0; i < 200; ++i) many += row;
    const struct {
        std::string text;
        std::size_t nextRow;
        bool needsLineEnd;
        const char *error = ""; // why it is damaged
    } cases[] = {
        {many, many.size(), false},
        {header, header.size(), false},
        {"TREVA roll history 1", 20, true},
        {many.substr(0, many.size() - 1), many.size() - 1, true}, // a whole row without its line end
        {many + row.substr(0, 30), many.size(), false},           // a cut line is set aside
        {header + row.substr(0, 30), header.size(), false},
        {"\xEF\xBB\xBF" + many, many.size() + 3, false},
        {"", 0, false, "it is empty"},
        {"not a history\n" + row, 0, false, "it is not a TREVA roll history"},
        {many + "garbage\n", 0, false, "its last line is damaged"},
        {many + "garbage\n" + row.substr(0, 10), 0, false, "its last line is damaged"},
        {many + std::string(kHistoryEndBytes, 'x'), 0, false, "its last line is damaged"}, // longer than any row
    };
    for (const auto &c : cases) {
        const std::size_t n = std::min(c.text.size(), kHistoryEndBytes);
        const std::string_view text = c.text;
        const HistoryEnd e = findHistoryEnd(text.substr(0, n), text.substr(text.size() - n), text.size());
        const std::string shown = c.text.substr(0, 40) + "..." + std::to_string(c.text.size());
        EXPECT_EQ(e.damaged, *c.error != '\0') << shown;
        EXPECT_EQ(e.damaged ? 0 : e.nextRow, c.nextRow) << shown;
        EXPECT_EQ(e.needsLineEnd, c.needsLineEnd) << shown;
        EXPECT_EQ(e.error, c.error) << shown;
    }
}

} // namespace
} // namespace treva
