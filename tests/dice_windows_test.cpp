#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

#include "session.h"
#include "ui/random_tables_window.h"

namespace treva {
namespace {

using testing::Session;

TEST(DieStatsWindow, CountsTotalsAndAverages) {
    using namespace die_stats_ids;
    Session s;
    s.seedFor({{2, 7}, {2, 8}, {1, 1}, {1, 2}, {1, 2}});
    for (int i = 0; i < 2; ++i) rollDice(s.state(), 2, 6, "Two Dice");
    for (int i = 0; i < 3; ++i) rollDice(s.state(), 1, 6, "Single Die");
    const WindowId w = s.open(kCmdDieStats);
    EXPECT_TRUE(s.shows(w, {{twoDiceCount(7), "1"},
                            {twoDiceCount(8), "1"},
                            {twoDiceCount(6), ""},
                            {kTwoDiceTotal, "2"},
                            {kTwoDiceAverage, "7.500"},
                            {oneDieCount(1), "1"},
                            {oneDieCount(2), "2"},
                            {kOneDieTotal, "3"},
                            {kOneDieAverage, "1.667"}}));
}

TEST(DieStatsWindow, FollowsEveryCountedRollAndClearsToEmptyCellsAndZeros) {
    using namespace die_stats_ids;
    Session s;
    s.scenario().stats.twoDiceRolls = 3;
    s.scenario().stats.twoDiceSum = 31;
    const WindowId w = s.open(kCmdDieStats);
    EXPECT_EQ(s.text(w, kTwoDiceAverage), "10.333") << "an average past 10 keeps three decimals";
    // Rolls from other windows show at once.
    const WindowId random = s.open(kCmdRandomTables);
    s.click(random, random_tables_ids::kSingleDie);
    s.click(random, random_tables_ids::kTwoDice);
    EXPECT_EQ(s.text(w, kOneDieTotal), "1");
    EXPECT_EQ(s.text(w, kTwoDiceTotal), "4");
    const WindowId actions = s.open(kCmdActions);
    s.click(actions, actions_ids::kInfAction);
    EXPECT_EQ(s.text(w, kOneDieTotal), "3");
    s.click(w, kClear);
    EXPECT_EQ(s.stats().oneDieRolls, 0);
    // Cleared, a count shows nothing and the totals and averages 0.
    for (int dr = 2; dr <= 12; ++dr) EXPECT_EQ(s.text(w, twoDiceCount(dr)), "") << dr;
    for (int dr = 1; dr <= 6; ++dr) EXPECT_EQ(s.text(w, oneDieCount(dr)), "") << dr;
    EXPECT_TRUE(s.shows(w, {{kTwoDiceTotal, "0"}, {kOneDieTotal, "0"}, {kTwoDiceAverage, "0"}, {kOneDieAverage, "0"}}));
    EXPECT_EQ(s.scenario().changed, 0) << "Clear leaves the change check to later";
}

// The legend beside each table ("<= 1     4\r 2 - 3    3\r >= 4    2") and the
// table itself must tell the player the same thing for every dr.
int legendResult(const std::string &legend, int dr) {
    std::istringstream lines(legend);
    for (std::string line; std::getline(lines, line, '\r');) {
        int low = 1, high = 6, result = -1;
        if (std::sscanf(line.c_str(), " <= %d %d", &high, &result) == 2 ||
            std::sscanf(line.c_str(), " >= %d %d", &low, &result) == 2 ||
            std::sscanf(line.c_str(), " %d - %d %d", &low, &high, &result) == 3) {
            if (dr >= low && dr <= high) return result;
        }
    }
    return -1;
}

// Each "Roll" button sits under its table's heading ("Table 6a") and legend.
TEST(RandomTablesWindow, EveryTableRollsOneDieAndAgreesWithItsHeadingAndLegend) {
    using namespace random_tables_ids;
    Session s;
    const WindowId w = s.open(kCmdRandomTables);
    std::string heading, legend;
    int tables = 0, rolls = 0;
    for (const ControlTemplate &c : findDialogTemplate(kRandomTablesDialog)->controls) {
        const std::string caption = c.caption;
        if (c.kind == ControlKind::Text && caption.rfind("Table 6", 0) == 0) heading = caption;
        if (c.kind == ControlKind::Text && caption.rfind("<=", 0) == 0) legend = caption;
        if (c.kind != ControlKind::PushButton || caption != "Roll") continue;
        ++tables;
        const std::string title = std::string("Table ") + char(std::toupper(heading.at(7)));
        for (int dr = 1; dr <= 6; ++dr) {
            s.seedFor({{1, dr}});
            s.click(w, c.id);
            EXPECT_TRUE(s.shows(w, {{kTitleField, title},
                                    {kDrField, std::to_string(dr)},
                                    {kResultField, std::to_string(legendResult(legend, dr))}}))
                << "legend " << legend;
            EXPECT_EQ(s.stats().oneDieRolls, ++rolls) << title;
        }
    }
    EXPECT_EQ(tables, 8);
    EXPECT_EQ(s.stats().twoDiceRolls, 0);
}

TEST(RandomTablesWindow, PlainRollsAndHexes) {
    using namespace random_tables_ids;
    Session s;
    const WindowId w = s.open(kCmdRandomTables);
    s.click(w, kSingleDie);
    EXPECT_TRUE(s.shows(w, {{kResultField, "-"}, {kTitleField, "One die roll"}}));
    EXPECT_EQ(s.stats().oneDieRolls, 1);
    s.click(w, kTwoDice);
    EXPECT_TRUE(s.shows(w, {{kResultField, "-"}, {kTitleField, "Two dice roll"}}));
    EXPECT_EQ(s.stats().twoDiceRolls, 1);

    std::set<std::string> rows, numbers;
    for (int i = 0; i < 2000; ++i) {
        s.click(w, kHexRow);
        EXPECT_EQ(s.text(w, kDrField), "");
        rows.insert(s.text(w, kResultField));
        s.click(w, kHexNumber);
        numbers.insert(s.text(w, kResultField));
    }
    EXPECT_EQ(s.text(w, kTitleField), "1 - 10 Rex Rows");
    EXPECT_EQ(rows.size(), 33u);
    EXPECT_TRUE(rows.count("A") && rows.count("GG"));
    EXPECT_EQ(numbers.size(), 10u);
    EXPECT_TRUE(numbers.count("1") && numbers.count("10"));
    EXPECT_EQ(s.stats().oneDieRolls, 1) << "hex picks are not dice";
    EXPECT_EQ(s.stats().twoDiceRolls, 1);
}

} // namespace
} // namespace treva
