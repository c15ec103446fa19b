#include "activation/units.h"

#include <algorithm>
#include <cstdio>

#include "activation/unit_tables.h"
#include "state/text.h"

namespace treva {
namespace {

// One generation: the tables, the output and the flags the full squads set.
struct Generation {
    ProgramState &program;
    UnitTableSet tables;
    std::string &out;
    std::size_t capacity;
    bool hasClassZero = false;
    bool allClassFour = true;

    void append(const std::string &line, bool lineBreak) {
        appendBounded(out, line, capacity);
        if (lineBreak) appendBounded(out, "\r", capacity);
    }

    // -1 when a class 0 squad came up, +1 when every squad was of class 4.
    int flagShift() const { return hasClassZero ? -1 : (allClassFour ? 1 : 0); }

    int rollSquad(bool full, bool lineBreak) {
        const int x2 = rollDice(program, 2, 6, "x2 DR");
        const int32_t year = program.scenario.yearIndex;
        const int offset = year >= 0 && year < int(tables.offsets->size()) ? (*tables.offsets)[year] : 0;
        const int row = std::clamp(x2 + offset, 0, int(tables.squads->size()) - 1);
        const SquadRow &squad = (*tables.squads)[row];
        if (full) {
            if (squad.qualityClass == 0) hasClassZero = true;
            if (squad.qualityClass != 4) allClassFour = false;
        }
        char line[96];
        std::snprintf(line, sizeof line, "%s (x2 DR = %i/%i)", full ? squad.fullSquad : squad.halfSquad, x2,
                      x2 + offset);
        append(line, lineBreak);
        return squad.qualityClass;
    }

    void rollLeader() {
        const int x3 = rollDice(program, 2, 6, "x3 DR");
        const ScenarioState &s = program.scenario;
        const int shift = flagShift() + leaderDateShift(s.nationality, s.yearIndex, s.month);
        const int index = std::clamp(x3 + shift, 0, int(tables.leaders->size()) - 1);
        char line[96];
        std::snprintf(line, sizeof line, "%s (x3 DR = %i/%i)", (*tables.leaders)[index], x3, x3 + shift);
        append(line, true);
    }

    void rollTableItem(const X6Table &table, bool lineBreak) {
        const int x6 = rollDice(program, 2, 6, "x6 DR");
        char line[128];
        std::snprintf(line, sizeof line, "%s (x6 DR = %i)", table[x6], x6);
        append(line, lineBreak);
    }

    void rollGuns(bool lineBreak) {
        const int x6 = rollDice(program, 2, 6, "x6 DR");
        char line[256];
        std::snprintf(line, sizeof line, "Outside: %s (x6 DR = %i)\rInside : %s (x6 DR = %i)",
                      (*tables.outsideGuns)[x6], x6, (*tables.insideGuns)[x6], x6);
        append(line, lineBreak);
    }

    void rollFortification() {
        const ScenarioState &s = program.scenario;
        if (s.attitude == 1) {
            append("smoke", false);
            return;
        }
        const int a5 = rollDice(program, 1, 6, "A5 DR");
        const int64_t sum = a5 + int64_t(flagShift()) + s.msr + s.a5Modifier;
        // Beyond either end of the table the nearest entry is read; the line
        // still shows the sum as it came.
        const auto index = std::clamp<int64_t>(sum, 0, int64_t(fortificationTable.size()) - 1);
        char line[96];
        std::snprintf(line, sizeof line, "%s (A5 DR = %i/%lld)", fortificationTable[index], a5, (long long)sum);
        append(line, false);
    }
};

} // namespace

int64_t a1DrModifier(const ScenarioState &s) { return int64_t(s.msr) + s.a1Modifier - (s.attitude == 1 ? 1 : 0); }

int64_t generateUnits(ProgramState &program, int a1Dr, std::string &out, std::size_t capacity) {
    const ScenarioState &s = program.scenario;
    Generation g{program, selectUnitTables(s.nationality, s.yearIndex, s.month), out, capacity};
    out.clear();
    const int64_t modifier = a1DrModifier(s);
    const int64_t finalA1Dr = a1Dr + modifier;
    if (finalA1Dr < -3 || finalA1Dr > 14) {
        g.append("Die not initialized", false);
        return modifier;
    }
    const bool full = true, half = false, lineBreak = true, last = false;
    switch (finalA1Dr) {
    case 2: g.rollTableItem(*g.tables.afvs, last); break;
    case 3:
        g.rollSquad(full, lineBreak);
        g.rollSquad(full, lineBreak);
        g.rollLeader();
        g.rollTableItem(*g.tables.supportWeapons, lineBreak);
        g.rollFortification();
        break;
    case 4:
        g.rollSquad(full, lineBreak);
        g.rollLeader();
        g.rollTableItem(*g.tables.supportWeapons, lineBreak);
        g.rollFortification();
        break;
    case 5:
        g.rollSquad(full, lineBreak);
        g.rollLeader();
        g.rollTableItem(*g.tables.supportWeapons, last);
        break;
    case 6:
    case 9: g.rollSquad(full, last); break;
    case 7: {
        char line[64];
        std::snprintf(line, sizeof line, " (A1 DR = %i)", a1Dr);
        g.append("(None)", false);
        g.append(line, false);
        break;
    }
    case 8: g.rollSquad(half, last); break;
    case 10:
        g.rollSquad(full, lineBreak);
        g.rollSquad(full, lineBreak);
        g.rollLeader();
        break;
    case 11:
        g.rollSquad(full, lineBreak);
        g.rollSquad(half, last);
        break;
    case 12:
        g.rollSquad(half, lineBreak);
        g.rollGuns(last);
        break;
    case 13: g.append("SPG", false); break;
    case 14:
        g.rollSquad(full, lineBreak);
        g.rollGuns(lineBreak);
        g.rollFortification();
        break;
    default: // -3 to 1
        g.rollTableItem(*g.tables.afvs, lineBreak);
        g.rollSquad(full, last);
        break;
    }
    return modifier;
}

} // namespace treva
