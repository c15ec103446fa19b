#include <cstdio>
#include <set>

#include "session.h"
#include "windows/random_tables_window.h"

namespace treva {
namespace {

using testing::Session;

TEST(DieStatsWindow, FreshScenarioShowsEmptyCellsAndZeros) {
    Session s;
    const WindowId w = s.open(kCmdDieStats);
    for (int id = 1057; id <= 1073; ++id) EXPECT_EQ(s.text(w, id), "") << id;
    EXPECT_EQ(s.text(w, 1074), "0");
    EXPECT_EQ(s.text(w, 1075), "0");
    EXPECT_EQ(s.text(w, 1076), "0");
    EXPECT_EQ(s.text(w, 1077), "0");
}

TEST(DieStatsWindow, CountsTotalsAndAverages) {
    Session s;
    s.seedFor({{2, 7}, {2, 8}, {1, 1}, {1, 2}, {1, 2}});
    for (int i = 0; i < 2; ++i) rollDice(s.state(), 2, 6);
    for (int i = 0; i < 3; ++i) rollDice(s.state(), 1, 6);
    const WindowId w = s.open(kCmdDieStats);
    EXPECT_EQ(s.text(w, 1062), "1");
    EXPECT_EQ(s.text(w, 1063), "1");
    EXPECT_EQ(s.text(w, 1061), "");
    EXPECT_EQ(s.text(w, 1074), "2");
    EXPECT_EQ(s.text(w, 1076), "7.500");
    EXPECT_EQ(s.text(w, 1068), "1");
    EXPECT_EQ(s.text(w, 1069), "2");
    EXPECT_EQ(s.text(w, 1075), "3");
    EXPECT_EQ(s.text(w, 1077), "1.667");
}

TEST(DieStatsWindow, ShowsWhatItWasFilledWithUntilClear) {
    Session s;
    rollDice(s.state(), 1, 6);
    const WindowId w = s.open(kCmdDieStats);
    EXPECT_EQ(s.text(w, 1075), "1");
    rollDice(s.state(), 1, 6);
    EXPECT_EQ(s.open(kCmdDieStats), w);
    EXPECT_EQ(s.text(w, 1075), "1") << "rolls made while it is open do not show";
    s.click(w, 1000);
    EXPECT_EQ(s.stats().oneDieRolls, 0);
    EXPECT_EQ(s.text(w, 1075), "0");
    for (int id = 1068; id <= 1073; ++id) EXPECT_EQ(s.text(w, id), "") << id;
    EXPECT_EQ(s.scenario().changed, 0) << "Clear leaves the change check to later";
}

TEST(DieStatsWindow, LargeAverageKeepsThreeDecimals) {
    Session s;
    s.scenario().stats.twoDiceRolls = 3;
    s.scenario().stats.twoDiceSum = 31;
    const WindowId w = s.open(kCmdDieStats);
    EXPECT_EQ(s.text(w, 1076), "10.333");
}

TEST(RandomTablesWindow, TableRollsShowDrResultAndTitle) {
    Session s;
    const WindowId w = s.open(kCmdRandomTables);
    const struct {
        int button, dr;
        const char *result, *title;
    } cases[] = {
        {1006, 1, "0", "Table H"}, {1006, 2, "0", "Table H"}, {1006, 6, "2", "Table H"}, {1003, 3, "2", "Table C"},
        {1002, 1, "3", "Table D"}, {1007, 3, "1", "Table G"}, {1000, 1, "4", "Table A"},
    };
    int rolls = 0;
    for (const auto &c : cases) {
        s.seedFor({{1, c.dr}});
        s.click(w, c.button);
        EXPECT_EQ(s.text(w, 1091), std::to_string(c.dr));
        EXPECT_EQ(s.text(w, 1092), c.result) << c.title << " dr " << c.dr;
        EXPECT_EQ(s.text(w, 1093), c.title);
        EXPECT_EQ(s.stats().oneDieRolls, ++rolls);
    }
    EXPECT_EQ(s.stats().twoDiceRolls, 0);
}

// The legend beside each table ("<= 1     4\r 2 - 3    3\r >= 4    2") and the
// table itself must tell the player the same thing for every dr.
int legendResult(const std::string &legend, int dr) {
    std::size_t start = 0;
    while (start <= legend.size()) {
        std::size_t end = legend.find('\r', start);
        if (end == std::string::npos) end = legend.size();
        std::string line = legend.substr(start, end - start);
        int low = 1, high = 6, result = -1;
        if (line.find("<=") != std::string::npos) {
            std::sscanf(line.c_str() + line.find("<=") + 2, "%d %d", &high, &result);
        } else if (line.find(">=") != std::string::npos) {
            std::sscanf(line.c_str() + line.find(">=") + 2, "%d %d", &low, &result);
        } else {
            std::sscanf(line.c_str(), "%d - %d %d", &low, &high, &result);
        }
        if (dr >= low && dr <= high) return result;
        start = end + 1;
    }
    return -1;
}

TEST(RandomTablesWindow, TablesAgreeWithTheirLegends) {
    Session s;
    const WindowId w = s.open(kCmdRandomTables);
    std::string legend;
    int tables = 0;
    for (const ControlTemplate &c : findDialogTemplate(kRandomTablesDialog)->controls) {
        const std::string caption = c.caption;
        if (c.kind == ControlKind::Text && caption.rfind("<=", 0) == 0) legend = caption;
        if (c.kind != ControlKind::PushButton || caption != "Roll") continue;
        ++tables;
        for (int dr = 1; dr <= 6; ++dr) {
            s.seedFor({{1, dr}});
            s.click(w, c.id);
            EXPECT_EQ(s.text(w, 1092), std::to_string(legendResult(legend, dr)))
                << s.text(w, 1093) << " dr " << dr << " legend " << legend;
        }
    }
    EXPECT_EQ(tables, 8);
}

TEST(RandomTablesWindow, PlainRollsAndHexes) {
    Session s;
    const WindowId w = s.open(kCmdRandomTables);
    s.click(w, 1018);
    EXPECT_EQ(s.text(w, 1092), "-");
    EXPECT_EQ(s.text(w, 1093), "One die roll");
    EXPECT_EQ(s.stats().oneDieRolls, 1);
    s.click(w, 1017);
    EXPECT_EQ(s.text(w, 1093), "Two dice roll");
    EXPECT_EQ(s.text(w, 1092), "-");
    EXPECT_EQ(s.stats().twoDiceRolls, 1);

    std::set<std::string> rows, numbers;
    for (int i = 0; i < 2000; ++i) {
        s.click(w, 1020);
        EXPECT_EQ(s.text(w, 1091), "");
        rows.insert(s.text(w, 1092));
        s.click(w, 1019);
        numbers.insert(s.text(w, 1092));
    }
    EXPECT_EQ(s.text(w, 1093), "1 - 10 Rex Rows");
    EXPECT_EQ(rows.size(), 33u);
    EXPECT_TRUE(rows.count("GG"));
    EXPECT_TRUE(rows.count("A"));
    EXPECT_EQ(numbers.size(), 10u);
    EXPECT_TRUE(numbers.count("1") && numbers.count("10"));
    EXPECT_EQ(s.stats().oneDieRolls, 1) << "hex picks are not dice";
    EXPECT_EQ(s.stats().twoDiceRolls, 1);
}

} // namespace
} // namespace treva
