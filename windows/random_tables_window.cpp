#include "windows/random_tables_window.h"

#include "resources/ids/random_tables.h"
#include "windows/frame.h"

namespace treva {
namespace {

using namespace random_tables_ids;

struct SmallTable {
    int button;
    const char *title;
    int results[6]; // by dr 1..6
};

const SmallTable kSmallTables[] = {
    {kTableA, "Table A", {4, 3, 3, 2, 2, 2}}, {kTableB, "Table B", {3, 3, 3, 2, 2, 1}},
    {kTableC, "Table C", {3, 3, 2, 2, 1, 1}}, {kTableD, "Table D", {3, 2, 2, 1, 1, 1}},
    {kTableE, "Table E", {2, 2, 2, 1, 1, 1}}, {kTableF, "Table F", {3, 2, 2, 2, 2, 1}},
    {kTableG, "Table G", {2, 2, 1, 1, 1, 1}}, {kTableH, "Table H", {0, 0, 1, 1, 1, 2}},
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
            const int dr = rollDice(p, 1, 6);
            showRoll(app, self, std::to_string(dr), std::to_string(t.results[dr - 1]), t.title);
            return;
        }
    }
    switch (id) {
    case kSingleDie: showRoll(app, self, std::to_string(rollDice(p, 1, 6)), "-", "One die roll"); break;
    case kTwoDice: showRoll(app, self, std::to_string(rollDice(p, 2, 6)), "-", "Two dice roll"); break;
    case kHexRow: // straight from the generator: not a die roll, not counted
        showRoll(app, self, "", kHexRows[drawRandom(p) % 33], "A - GG Hex Rows");
        break;
    case kHexNumber: showRoll(app, self, "", std::to_string(drawRandom(p) % 10 + 1), "1 - 10 Rex Rows"); break;
    default: break;
    }
}

void init(App &, WindowId) {} // the output fields start empty

} // namespace

bool randomTablesWindowProc(App &app, WindowId self, const Message &m) {
    return toolWindowProc(app, self, m, ToolSlot::RandomTables, init, command);
}

} // namespace treva
