#include "actions/priority_tables.h"

#include <iterator>
#include <span>

#include "state/text.h"

namespace treva {
namespace {

#include "actions/priority_tables_data.inc"

const char kMisDieRoll[] = "(mis-die roll)";

std::span<const PriorityRow> rowsOf(PriorityTable table) {
    switch (table) {
    case PriorityTable::IftAttack: return iftAttackTable;
    case PriorityTable::AdvanceMovement: return advanceMovementTable;
    case PriorityTable::HoldMovement: return holdMovementTable;
    case PriorityTable::VehicleMovement: return vehicleMovementTable;
    case PriorityTable::Latw: return latwTable;
    case PriorityTable::OrdnanceVsVehicle: return ordnanceVsVehicleTable;
    case PriorityTable::OrdnanceVsInfantry: return ordnanceVsInfantryTable;
    }
    return {};
}

} // namespace

std::string priorityText(PriorityTable table, int dr) {
    std::string buffer;
    if (const PriorityRow *row = findPriorityRow(table, dr)) {
        for (const char *part : row->parts) {
            if (part) appendBounded(buffer, part, kResultTextCapacity);
        }
    } else {
        appendBounded(buffer, kMisDieRoll, kResultTextCapacity);
    }
    return buffer;
}

const PriorityRow *findPriorityRow(PriorityTable table, int dr) {
    for (const PriorityRow &row : rowsOf(table)) {
        if (dr >= row.firstDr && dr <= row.lastDr) return &row;
    }
    return nullptr;
}

void iftAttackLookup(ProgramState &, int dr, ActionFields &fields) {
    fields.title = "Infantry Attack Directions";
    fields.results = priorityText(PriorityTable::IftAttack, dr);
    fields.roll = formatNumber("DR = %i", dr);
}

void infantryMovementLookup(ProgramState &program, int dr, ActionFields &fields) {
    const ScenarioState &s = program.scenario;
    const PriorityTable table = s.attitude == 1 ? PriorityTable::AdvanceMovement : PriorityTable::HoldMovement;
    fields.dice = "-";
    fields.roll = formatNumber("DR = %i", dr);
    fields.results = priorityText(table, dr);
    const PriorityRow *row = findPriorityRow(table, dr);
    if (row && row->directionMark) {
        // A marked row sends the unit in a direction of its own: roll it and
        // show it, so the player need not roll it separately.
        const int direction = rollDice(program, 1, 6, "Direction dr");
        fields.direction = formatNumber("dr = %i", direction);
        fields.picture = directionResultBitmap(s.mapOrientation, direction);
    } else {
        fields.direction = "";
    }
}

void vehicleMovementLookup(ProgramState &, int dr, ActionFields &fields) {
    fields.results = priorityText(PriorityTable::VehicleMovement, dr);
}

void latwLookup(ProgramState &, int dr, ActionFields &fields) {
    fields.results = priorityText(PriorityTable::Latw, dr);
}

void ordnanceVsVehicleLookup(ProgramState &, int dr, ActionFields &fields) {
    fields.results = priorityText(PriorityTable::OrdnanceVsVehicle, dr);
}

void ordnanceVsInfantryLookup(ProgramState &, int dr, ActionFields &fields) {
    fields.results = priorityText(PriorityTable::OrdnanceVsInfantry, dr);
}

int directionKeyBitmap(int32_t mapOrientation) { return mapOrientation == 0 ? 118 : 119; }

int directionResultBitmap(int32_t mapOrientation, int dr) {
    if (mapOrientation == 0) return dr == 1 ? 120 : (dr == 6 ? 122 : 121);
    return dr <= 3 ? 123 : 125;
}

} // namespace treva
