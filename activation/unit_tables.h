// The module's unit tables, from which an activation draws the ENEMY units
// that appear, and the choice of tables by nationality and date.
#pragma once

#include <array>
#include <cstdint>

namespace treva {

struct SquadRow {
    const char *fullSquad;
    const char *halfSquad;
    int32_t qualityClass; // 0..4; -1 in rows no roll can read
};

using SquadTable = std::array<SquadRow, 15>;      // x2 DR + year offset
using RowOffsets = std::array<int32_t, 12>;       // by yearIndex, 1935..1946
using LeaderTable = std::array<const char *, 15>; // x3 DR + shift
using X6Table = std::array<const char *, 13>;     // by x6 DR; 0 and 1 unused
using FortificationTable = std::array<const char *, 8>;

struct UnitTableSet {
    const SquadTable *squads;
    const RowOffsets *offsets;
    const LeaderTable *leaders;
    const X6Table *supportWeapons;
    const X6Table *afvs;
    const X6Table *outsideGuns;
    const X6Table *insideGuns;
};

extern const FortificationTable fortificationTable;

UnitTableSet selectUnitTables(int32_t nationality, int32_t yearIndex, int32_t month);

// -1, 0 or +1: how the date moves the leader roll for a nationality.
int leaderDateShift(int32_t nationality, int32_t yearIndex, int32_t month);

} // namespace treva
