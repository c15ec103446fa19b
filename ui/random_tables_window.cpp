#include "ui/random_tables_window.h"

#include "resources/ids/random_tables.h"
#include "ui/frame.h"

namespace treva {
namespace {

using namespace random_tables_ids;

struct SmallTable {
    int button;
    const char *title;
    const char *purpose; // the button's words, for the roll history
    int results[6];      // by dr 1..6
};

const SmallTable kSmallTables[] = {
    {kTableA, "Table A", "Table 6a dr", {4, 3, 3, 2, 2, 2}}, {kTableB, "Table B", "Table 6b dr", {3, 3, 3, 2, 2, 1}},
    {kTableC, "Table C", "Table 6c dr", {3, 3, 2, 2, 1, 1}}, {kTableD, "Table D", "Table 6d dr", {3, 2, 2, 1, 1, 1}},
    {kTableE, "Table E", "Table 6e dr", {2, 2, 2, 1, 1, 1}}, {kTableF, "Table F", "Table 6f dr", {3, 2, 2, 2, 2, 1}},
    {kTableG, "Table G", "Table 6g dr", {2, 2, 1, 1, 1, 1}}, {kTableH, "Table H", "Table 6h dr", {0, 0, 1, 1, 1, 2}},
};

const char *const kHexRows[33] = {"A", "B", "C", "D", "E",  "F",  "G",  "H",  "I",  "J",  "K",
                                  "L", "M", "N", "O", "P",  "Q",  "R",  "S",  "T",  "U",  "V",
                                  "W", "X", "Y", "Z", "AA", "BB", "CC", "DD", "EE", "FF", "GG"};

void showRoll(App &app, WindowId self, const std::string &dr, const std::string &result, const char *title) {
    app.ui.setText(self, kDrField, dr);
    app.ui.setText(self, kResultField, result);
    app.ui.setText(self, kTitleField, title);
}

void command(App &app, WindowId self, int id) {
    ProgramState &p = app.state;
    for (const SmallTable &t : kSmallTables) {
        if (id == t.button) {
            const int dr = rollDice(p, 1, 6, t.purpose);
            showRoll(app, self, std::to_string(dr), std::to_string(t.results[dr - 1]), t.title);
            return;
        }
    }
    switch (id) {
    case kSingleDie: showRoll(app, self, std::to_string(rollDice(p, 1, 6, "Single Die")), "-", "One die roll"); break;
    case kTwoDice: showRoll(app, self, std::to_string(rollDice(p, 2, 6, "Two Dice")), "-", "Two dice roll"); break;
    case kHexRow: // straight from the generator: not a die roll, not counted
        showRoll(app, self, "", kHexRows[drawPick(p, "A - GG hexes", 33, kHexRows)], "A - GG Hex Rows");
        break;
    case kHexNumber:
        showRoll(app, self, "", std::to_string(drawPick(p, "1 - 10 hexes", 10) + 1), "1 - 10 Rex Rows");
        break;
    default: break;
    }
}

void init(App &, WindowId) {} // the output fields start empty

} // namespace

bool randomTablesWindowProc(App &app, WindowId self, const Message &m) {
    return toolWindowProc(app, self, m, ToolSlot::RandomTables, init, command);
}

} // namespace treva
