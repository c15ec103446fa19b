#include "resources/accessible_names.h"

#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/dice_chart.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/roll_history.h"
#include "resources/ids/setup.h"
#include "state/text.h"

namespace treva {
namespace {

struct FieldName {
    int dialog;
    int control;
    const char *name;
};

// Fields that show results or a picture carry no caption: they are named by
// what they show.
const FieldName kFieldNames[] = {
    {kActivationDialog, activation_ids::kStatus, "Activation status"},
    {kActivationDialog, activation_ids::kUnitsField, "Units"},
    {kActivationDialog, activation_ids::kDrField, "Activation dr"},
    {kActivationDialog, activation_ids::kModifierField, "Modifier total"},
    {kActivationDialog, activation_ids::kFinalField, "Final DR"},
    {kActivationDialog, activation_ids::kAcField, "AC#"},
    {kActivationDialog, activation_ids::kSummary, "Scenario summary"},
    {kActivationDialog, activation_ids::kConditions, "Activation conditions"},
    {kActivationDialog, activation_ids::kA1Field, "A1 DR"},
    {kActivationDialog, activation_ids::kLevelList, "Level difference"},
    {kActivationDialog, activation_ids::kTerrainList, "Terrain"},

    {kActionsDialog, actions_ids::kResults, "Results"},
    {kActionsDialog, actions_ids::kSummary, "Scenario summary"},
    {kActionsDialog, actions_ids::kDice, "Dice"},
    {kActionsDialog, actions_ids::kRoll, "Roll"},
    {kActionsDialog, actions_ids::kPanic, "Panic"},
    {kActionsDialog, actions_ids::kDirection, "Direction"},
    {kActionsDialog, actions_ids::kTitle, "Table title"},
    {kActionsDialog, actions_ids::kPicture, "Direction picture"},
    {kActionsDialog, actions_ids::kVehMoveMarker, "Veh. Move. marker"},
    {kActionsDialog, actions_ids::kInfMoveMarker, "Inf. Move. marker"},
    {kActionsDialog, actions_ids::kIftMarker, "IFT Attack marker"},
    {kActionsDialog, actions_ids::kLatwMarker, "LATW marker"},
    {kActionsDialog, actions_ids::kOrdVehMarker, "Ord. vs Veh. marker"},
    {kActionsDialog, actions_ids::kOrdInfMarker, "Ord. vs Inf marker"},

    {kAdvanceDialog, advance_ids::kRollField, "Roll"},
    {kAdvanceDialog, advance_ids::kTextArea, "Advance text"},
    {kAdvanceDialog, advance_ids::kPicture, "Direction picture"},

    {kRandomTablesDialog, random_tables_ids::kDrField, "dr"},
    {kRandomTablesDialog, random_tables_ids::kResultField, "Result"},
    {kRandomTablesDialog, random_tables_ids::kTitleField, "Table"},

    {kDieStatsDialog, die_stats_ids::twoDiceCount(2), "DR 2 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(3), "DR 3 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(4), "DR 4 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(5), "DR 5 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(6), "DR 6 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(7), "DR 7 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(8), "DR 8 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(9), "DR 9 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(10), "DR 10 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(11), "DR 11 count"},
    {kDieStatsDialog, die_stats_ids::twoDiceCount(12), "DR 12 count"},
    {kDieStatsDialog, die_stats_ids::oneDieCount(1), "dr 1 count"},
    {kDieStatsDialog, die_stats_ids::oneDieCount(2), "dr 2 count"},
    {kDieStatsDialog, die_stats_ids::oneDieCount(3), "dr 3 count"},
    {kDieStatsDialog, die_stats_ids::oneDieCount(4), "dr 4 count"},
    {kDieStatsDialog, die_stats_ids::oneDieCount(5), "dr 5 count"},
    {kDieStatsDialog, die_stats_ids::oneDieCount(6), "dr 6 count"},
    {kDieStatsDialog, die_stats_ids::kTwoDiceTotal, "Total DR #"},
    {kDieStatsDialog, die_stats_ids::kOneDieTotal, "Total dr #"},
    {kDieStatsDialog, die_stats_ids::kTwoDiceAverage, "Average DR"},
    {kDieStatsDialog, die_stats_ids::kOneDieAverage, "Average dr"},

    {kRollHistoryDialog, roll_history_ids::kRows, "Rolls"},
    {kRollHistoryDialog, roll_history_ids::kCount, "Number of rolls"},

    {kDiceChartDialog, dice_chart_ids::kTwoDiceChart, "DR chart (two dice)"},
    {kDiceChartDialog, dice_chart_ids::kTwoDiceFairness, "DR fairness"},
    {kDiceChartDialog, dice_chart_ids::kOneDieChart, "dr chart (one die)"},
    {kDiceChartDialog, dice_chart_ids::kOneDieFairness, "dr fairness"},

    {kSetupDialog, setup_ids::kYearList, "Year"},
    {kSetupDialog, setup_ids::kNationalityList, "Nationality"},
    {kSetupDialog, setup_ids::kMonthList, "Month"},
    {kSetupDialog, setup_ids::kMsrList, "MSR"},
    {kSetupDialog, setup_ids::kFlatHexes, "Flat-topped hexes"},
    {kSetupDialog, setup_ids::kPointedHexes, "Pointed-topped hexes"},

    {kSpecialDialog, special_ids::kA1Box, "A1 Modifier"},
    {kSpecialDialog, special_ids::kA5Box, "A5 Modifier"},
};

// Pictures nobody addresses are named by the bitmap they show.
struct PictureName {
    int bitmap;
    const char *name;
};

const PictureName kPictureNames[] = {
    {109, "Pointed-topped hexes picture"},
    {110, "Flat-topped hexes picture"},
    {117, "Soldier looking through binoculars"},
    {127, "Beta version stamp"},
};

std::string kindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Picture: return "Picture";
    case ControlKind::DropDownList: return "List";
    case ControlKind::EditBox: return "Edit box";
    case ControlKind::ListBox: return "List box";
    case ControlKind::BarChart: return "Chart";
    default: return "Field";
    }
}

} // namespace

std::string accessibleName(const DialogTemplate &dialog, const ControlTemplate &control) {
    if (control.id != kNoId)
        for (const FieldName &f : kFieldNames)
            if (f.dialog == dialog.id && f.control == control.id) return f.name;
    if (control.caption && *control.caption) {
        // Line breaks become spaces, runs of spaces one, and "&" marks go.
        std::string name;
        for (const char c : cp1252ToUtf8(control.caption)) {
            if (c == '&') continue;
            const bool space = c == '\r' || c == '\n' || c == ' ' || c == '\t';
            if (space) {
                if (!name.empty() && name.back() != ' ') name += ' ';
            } else {
                name += c;
            }
        }
        while (!name.empty() && name.back() == ' ') name.pop_back();
        return name;
    }
    if (control.kind == ControlKind::Picture)
        for (const PictureName &p : kPictureNames)
            if (p.bitmap == control.bitmap) return p.name;
    return kindName(control.kind) + " " + std::to_string(control.id);
}

} // namespace treva
