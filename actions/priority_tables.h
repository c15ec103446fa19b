// The module's movement and fire-priority tables, looked up by a DR, and the
// choice of direction picture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "state/program_state.h"

namespace treva {

// New texts for the Actions window's fields; std::nullopt keeps a field as it is.
struct ActionFields {
    std::optional<std::string> results; // the results area
    std::optional<std::string> dice;    // the action's two dice
    std::optional<std::string> roll;    // the table's DR
    std::optional<std::string> panic;
    std::optional<std::string> direction; // the direction dr
    std::optional<std::string> title;     // the table's title
    std::optional<int> picture;           // bitmap for the direction picture
};

// One row of a priority table: the DRs it covers and its text, in parts that
// are shown joined. A marked row of the Advance movement table calls for a
// direction roll.
struct PriorityRow {
    int firstDr, lastDr;
    bool directionMark;
    std::array<const char *, 6> parts;
};

enum class PriorityTable {
    IftAttack,
    AdvanceMovement,
    HoldMovement,
    VehicleMovement,
    Latw,
    OrdnanceVsVehicle,
    OrdnanceVsInfantry,
};

// The row for a DR, or nullptr outside the table.
const PriorityRow *findPriorityRow(PriorityTable table, int dr);

// The text a table shows for a DR: its row's parts joined, or "(mis-die roll)".
std::string priorityText(PriorityTable table, int dr);

// Lookups. Each empties the result text, fills it and merges the fields it
// writes into `fields`.
void iftAttackLookup(ProgramState &program, int dr, ActionFields &fields);
void infantryMovementLookup(ProgramState &program, int dr, ActionFields &fields);
void vehicleMovementLookup(ProgramState &program, int dr, ActionFields &fields);
void latwLookup(ProgramState &program, int dr, ActionFields &fields);
void ordnanceVsVehicleLookup(ProgramState &program, int dr, ActionFields &fields);
void ordnanceVsInfantryLookup(ProgramState &program, int dr, ActionFields &fields);

// Direction pictures: the key for the map's hex orientation, and the picture
// of the hex a direction dr picks.
int directionKeyBitmap(int32_t mapOrientation);
int directionResultBitmap(int32_t mapOrientation, int dr);

} // namespace treva
