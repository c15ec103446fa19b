#include "resources/dialogs.h"

#include <algorithm>

#include "resources/ids/about.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/dice_chart.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/roll_history.h"
#include "resources/ids/setup.h"

namespace treva {
namespace {

using K = ControlKind;

std::vector<DialogTemplate> makeTemplates() {
    std::vector<DialogTemplate> t;

    t.push_back({kActivationDialog,
                 "Activation",
                 386,
                 257,
                 8,
                 kDialogSystemMenu,
                 {
                     {activation_ids::kRoll, K::PushButton, "Activation DR", 15, 22, 62, 28, 0},
                     {activation_ids::kVpo, K::CheckBox, "-1: in/ADJ to VPO", 27, 68, 69, 10, 0},
                     {activation_ids::kStone, K::CheckBox, "-1: in stone building", 27, 83, 77, 10, 0},
                     {activation_ids::kNearby, K::CheckBox, "-1: > 1 units w/i two hexes", 27, 98, 104, 10, 0},
                     {activation_ids::kSummary, K::Text, "", 245, 13, 123, 38, 0},
                     {activation_ids::kAllowManual, K::CheckBox, "Allow manual unit generation", 247, 148, 106, 10, 0},
                     {activation_ids::kLevelList, K::DropDownList, "", 27, 114, 123, 60, 0},
                     {activation_ids::kTerrainList, K::DropDownList, "", 27, 134, 123, 59, 0},
                     {activation_ids::kManual, K::PushButton, "Manual Activation", 170, 127, 71, 16, 0},
                     {activation_ids::kA1Field, K::Text, "", 169, 108, 72, 14, kCentred},
                     {activation_ids::kStatus, K::Text, "1", 94, 44, 133, 10, kCentred},
                     {kNoId, K::Text, "DR", 92, 13, 20, 12, 0},
                     {kNoId, K::Text, "Modifiers", 122, 13, 33, 10, 0},
                     {kNoId, K::Text, "Final DR", 161, 13, 30, 10, 0},
                     {kNoId, K::Text, "AC#", 202, 13, 20, 10, 0},
                     {kNoId, K::Text, "+", 116, 29, 11, 14, 0},
                     {activation_ids::kModifierField, K::Text, "0", 133, 29, 15, 14, 0},
                     {kNoId, K::Text, "=", 153, 29, 10, 14, 0},
                     {activation_ids::kFinalField, K::Text, "0", 166, 29, 20, 14, 0},
                     {activation_ids::kAcField, K::Text, "", 202, 29, 20, 14, kCentred},
                     {activation_ids::kDrField, K::Text, "0", 98, 29, 13, 14, 0},
                     {activation_ids::kConditions, K::Text, "", 21, 182, 349, 60, kBorder},
                     {activation_ids::kUnitsField, K::Text, "", 245, 59, 125, 85, kSunken},
                     {activation_ids::kHold, K::RadioButton, "Hold Attitude", 143, 68, 57, 10, kGroup},
                     {activation_ids::kAdvance, K::RadioButton, "Advance Attitude", 143, 81, 71, 10, 0},
                     {activation_ids::kAllowAttitude, K::CheckBox, "Allow Attitude changes", 247, 162, 88, 10, kGroup},
                 }});

    t.push_back({kSetupDialog,
                 "Setup Options",
                 257,
                 189,
                 8,
                 kDialogCentred,
                 {
                     {setup_ids::kOk, K::DefaultPushButton, "OK", 108, 164, 50, 14, 0},
                     {kNoId, K::Text, "AC#:", 71, 15, 17, 8, kGroup},
                     {setup_ids::kAc2, K::RadioButton, "2", 95, 15, 20, 10, 0},
                     {setup_ids::kAc3, K::RadioButton, "3", 125, 15, 20, 10, 0},
                     {setup_ids::kAc4, K::RadioButton, "4", 151, 15, 20, 10, 0},
                     {setup_ids::kAc5, K::RadioButton, "5", 177, 15, 20, 10, 0},
                     {setup_ids::kYearList, K::DropDownList, "", 14, 67, 103, 69, 0},
                     {setup_ids::kNationalityList, K::DropDownList, "", 14, 117, 103, 55, 0},
                     {setup_ids::kMonthList, K::DropDownList, "", 14, 83, 104, 72, 0},
                     {kNoId, K::Text, "Attitude:", 13, 34, 27, 8, kGroup},
                     {setup_ids::kHold, K::RadioButton, "Hold", 46, 33, 31, 10, 0},
                     {setup_ids::kAdvance, K::RadioButton, "Advance", 46, 47, 45, 10, 0},
                     {setup_ids::kMsrList, K::DropDownList, "", 14, 100, 104, 72, 0},
                     {kNoId, K::Text, "Map Orientation", 155, 42, 51, 8, kGroup},
                     {setup_ids::kFlatHexes, K::RadioButton, "", 140, 66, 11, 8, 0},
                     {setup_ids::kPointedHexes, K::RadioButton, "", 140, 108, 9, 8, 0},
                     {kNoId, K::Picture, "", 152, 95, 56, 37, 0, 109},
                     {kNoId, K::Picture, "", 152, 52, 56, 37, 0, 110},
                     {setup_ids::kSpecialButton, K::PushButton, "Special Controls", 151, 140, 66, 14, kGroup},
                 }});

    t.push_back({kActionsDialog,
                 "Actions",
                 383,
                 255,
                 8,
                 kDialogSystemMenu,
                 {
                     {actions_ids::kInfAction, K::PushButton, "INF Action", 19, 10, 50, 14, 0},
                     {actions_ids::kAfvAction, K::PushButton, "AFV Action", 19, 29, 50, 14, 0},
                     {actions_ids::kDice, K::Text, "", 17, 48, 62, 8, kCentred},
                     {actions_ids::kTitle, K::Text, "", 17, 60, 170, 8, 0},
                     {actions_ids::kPanic, K::Text, "", 87, 10, 96, 33, kSunken},
                     {actions_ids::kSummary, K::Text, "", 253, 14, 111, 33, kSunken},
                     {actions_ids::kResults, K::Text, "", 13, 72, 222, 166, kSunken},
                     {actions_ids::kRoll, K::Text, "", 259, 66, 51, 8, kCentred},
                     {actions_ids::kVehMove, K::PushButton, "Veh. Move.", 259, 79, 50, 14, 0},
                     {actions_ids::kInfMove, K::PushButton, "Inf. Move.", 259, 97, 50, 14, 0},
                     {actions_ids::kIftAttack, K::PushButton, "IFT Attack", 259, 115, 50, 14, 0},
                     {actions_ids::kLatw, K::PushButton, "LATW", 259, 136, 50, 14, 0},
                     {actions_ids::kOrdVeh, K::PushButton, "Ord. vs Veh.", 259, 155, 50, 14, 0},
                     {actions_ids::kOrdInf, K::PushButton, "Ord. vs Inf", 259, 174, 50, 14, 0},
                     {actions_ids::kVehMoveMarker, K::Text, "", 245, 82, 8, 8, kCentred},
                     {actions_ids::kInfMoveMarker, K::Text, "", 245, 100, 8, 8, kCentred},
                     {actions_ids::kIftMarker, K::Text, "", 245, 118, 8, 8, kCentred},
                     {actions_ids::kLatwMarker, K::Text, "", 245, 139, 8, 8, kCentred},
                     {actions_ids::kOrdVehMarker, K::Text, "", 245, 158, 8, 8, kCentred},
                     {actions_ids::kOrdInfMarker, K::Text, "", 245, 177, 8, 8, kCentred},
                     {actions_ids::dieButton(7), K::PushButton, "7", 338, 65, 20, 14, 0},
                     {actions_ids::dieButton(6), K::PushButton, "6", 327, 87, 20, 14, 0},
                     {actions_ids::dieButton(5), K::PushButton, "5", 327, 108, 20, 14, 0},
                     {actions_ids::dieButton(4), K::PushButton, "4", 327, 130, 20, 14, 0},
                     {actions_ids::dieButton(3), K::PushButton, "3", 327, 151, 20, 14, 0},
                     {actions_ids::dieButton(2), K::PushButton, "2", 327, 173, 20, 14, 0},
                     {actions_ids::dieButton(8), K::PushButton, "8", 351, 87, 20, 14, 0},
                     {actions_ids::dieButton(9), K::PushButton, "9", 351, 108, 20, 14, 0},
                     {actions_ids::dieButton(10), K::PushButton, "10", 351, 130, 20, 14, 0},
                     {actions_ids::dieButton(11), K::PushButton, "11", 351, 151, 20, 14, 0},
                     {actions_ids::dieButton(12), K::PushButton, "12", 351, 173, 20, 14, 0},
                     {actions_ids::kManualBox, K::CheckBox, "Manual die roll", 315, 193, 61, 10, 0},
                     {actions_ids::kDirectionButton, K::PushButton, "Direction", 253, 214, 50, 14, 0},
                     {actions_ids::kDirection, K::Text, "", 255, 234, 47, 8, kSunken},
                     {actions_ids::kPicture, K::Picture, "", 315, 210, 61, 36, 0, 118},
                 }});

    t.push_back({kSpecialDialog,
                 "Special",
                 240,
                 122,
                 8,
                 kDialogSystemMenu,
                 {
                     {special_ids::kOk, K::DefaultPushButton, "OK", 87, 90, 50, 14, 0},
                     {kNoId, K::Text, "A1 Modifier", 16, 35, 36, 8, 0},
                     {kNoId, K::Text, "A5 Modifier", 16, 55, 36, 8, 0},
                     {special_ids::kA1Box, K::EditBox, "", 59, 32, 21, 14, kBorder},
                     {special_ids::kA5Box, K::EditBox, "", 59, 52, 21, 14, kBorder},
                     {special_ids::kFortificationBox, K::CheckBox,
                      "An even modified Activation die roll special for fortifications.", 16, 74, 201, 10, 0},
                     {kNoId, K::Text, "The following controls and options may be needed for individual scenarios", 7, 7,
                      226, 21, 0},
                     {kNoId, K::Text, "Either value as non-zero sets MSR to zero", 90, 39, 107, 19, 0},
                 }});

    {
        DialogTemplate stats{kDieStatsDialog, "Die Stats", 327, 164, 8, kDialogSystemMenu, {}};
        auto &c = stats.controls;
        static const char *const twoDice[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
        static const char *const oneDie[] = {"1", "2", "3", "4", "5", "6"};
        const int twoDiceX[] = {20, 41, 62, 83, 104, 125, 146, 167, 188, 209, 230};
        const int oneDieX[] = {79, 101, 121, 143, 163, 185};
        c.push_back({kNoId, K::Text, "DR Outcomes", 121, 25, 51, 10, 0});
        for (int i = 0; i < 11; ++i) c.push_back({kNoId, K::Text, twoDice[i], twoDiceX[i], 42, 8, 8, 0});
        for (int i = 0; i < 11; ++i)
            c.push_back(
                {die_stats_ids::twoDiceCount(i + 2), K::Text, "*", twoDiceX[i], 56, i + 2 == 10 ? 14 : 8, 8, 0});
        c.push_back({kNoId, K::Text, "dr Outcomes", 119, 107, 51, 10, 0});
        for (int i = 0; i < 6; ++i) c.push_back({kNoId, K::Text, oneDie[i], oneDieX[i], 123, 8, 8, 0});
        for (int i = 0; i < 6; ++i)
            c.push_back({die_stats_ids::oneDieCount(i + 1), K::Text, "*", oneDieX[i], 137, 8, 8, 0});
        c.push_back({die_stats_ids::kClear, K::PushButton, "Clear", 114, 76, 50, 14, 0});
        c.push_back({kNoId, K::Text, "Total DR #", 257, 14, 51, 10, 0});
        c.push_back({die_stats_ids::kTwoDiceTotal, K::Text, "", 257, 26, 51, 10, kSunken});
        c.push_back({kNoId, K::Text, "Average DR", 257, 44, 51, 10, 0});
        c.push_back({die_stats_ids::kTwoDiceAverage, K::Text, "", 257, 56, 51, 10, kSunken});
        c.push_back({kNoId, K::Text, "Total dr #", 257, 91, 51, 10, 0});
        c.push_back({die_stats_ids::kOneDieTotal, K::Text, "", 257, 104, 51, 10, kSunken});
        c.push_back({kNoId, K::Text, "Average dr", 257, 127, 51, 10, 0});
        c.push_back({die_stats_ids::kOneDieAverage, K::Text, "", 257, 139, 51, 10, kSunken});
        c.push_back({die_stats_ids::kChart, K::PushButton, "C&hart...", 257, 72, 51, 14, kAdded});
        t.push_back(std::move(stats));
    }

    t.push_back({kAdvanceDialog,
                 "Advance",
                 249,
                 199,
                 8,
                 kDialogSystemMenu,
                 {
                     {advance_ids::kAdvanceButton, K::PushButton, "Advance", 37, 15, 50, 14, 0},
                     {advance_ids::kRollField, K::Text, "", 37, 39, 46, 8, kCentred},
                     {advance_ids::kPicture, K::Picture, "", 122, 16, 61, 36, 0, 118},
                     {advance_ids::kNtcButton, K::PushButton, "CC NTC", 37, 73, 50, 14, 0},
                     {advance_ids::kPairingsButton, K::PushButton, "CC Pairings", 101, 73, 50, 14, 0},
                     {advance_ids::kAttackButton, K::PushButton, "CC Attack", 165, 73, 50, 14, 0},
                     {advance_ids::kTextArea, K::Text, "", 16, 95, 212, 90, kSunken},
                 }});

    t.push_back({kAboutDialog,
                 "About TREVA!",
                 145,
                 120,
                 14,
                 kDialogCentred | kDialogSystemMenu,
                 {
                     {kNoId, K::Picture, "", 35, 3, 75, 66, 0, 117},
                     {about_ids::kText, K::Text,
                      "TREVA! A VENK Assistant\rFree software under the MIT licence\rMade by the TREVA developers\r"
                      "Trademarks respective of their owners.",
                      3, 71, 139, 32, kCentred},
                     {about_ids::kOk, K::DefaultPushButton, "OK", 47, 104, 50, 14, 0},
                 }});

    t.push_back(
        {kNoticeDialog,
         "Beta Notice",
         202,
         142,
         14,
         kDialogCentred | kDialogSystemMenu,
         {
             {kNoId, K::Picture, "", 5, 5, 44, 31, 0, 127},
             {kNoId, K::Text,
              "TREVA! A VENK Assistant.\rBeta 0.9.5. August 10, 1998.\rCopyright the TREVA developers, MIT licence.",
              55, 6, 144, 26, 0},
             {kNoId, K::Text,
              "As a beta version, I would like your comments, questions and problems about this application:\r"
              "please file them on the TREVA issue tracker,\rwith the scenario file (.trv) if one is involved.",
              5, 40, 192, 42, 0},
             {about_ids::kBuiltWith, K::Text,
              "Written in C++ by the TREVA developers.\rThe tables are the module's, word for word.", 5, 85, 192, 26,
              0},
             {about_ids::kOk, K::DefaultPushButton, "Enough", 76, 120, 50, 14, 0},
         }});

    {
        DialogTemplate random{kRandomTablesDialog, "Random Number Tables", 326, 186, 8, kDialogSystemMenu, {}};
        auto &c = random.controls;
        struct Column {
            const char *heading;
            const char *legend;
            int headingX, legendX, buttonX, button;
        };
        const Column top[] = {
            {"Table 6a\rdr    result", "<= 1     4\r 2 - 3    3\r >= 4    2", 14, 9, 13, random_tables_ids::kTableA},
            {"Table 6b\rdr    result", "<= 3    3\r4 - 5    2\r >=6    1", 67, 68, 65, random_tables_ids::kTableB},
            {"Table 6c\rdr    result", "<= 2     3\r 3 - 4    2\r >= 5    1", 120, 119, 119,
             random_tables_ids::kTableC},
            {"Table 6d\rdr    result", "<= 1     3\r 2 - 3    2\r >= 4    1", 173, 170, 169,
             random_tables_ids::kTableD},
        };
        const Column bottom[] = {
            {"Table 6e\rdr    result", "<= 3     2\r >= 4    1", 11, 8, 13, random_tables_ids::kTableE},
            {"Table 6f\rdr    result", "<= 1     3\r 2 - 5    2\r >= 6    1", 69, 65, 67, random_tables_ids::kTableF},
            {"Table 6g\rdr    result", "<= 2     2\r >= 3    1", 121, 119, 121, random_tables_ids::kTableG},
            {"Table 6h\rdr    result", "<= 2     0\r3 - 5     1\r >= 6    2", 173, 171, 171,
             random_tables_ids::kTableH},
        };
        for (const Column &col : top) {
            c.push_back({kNoId, K::Text, col.heading, col.headingX, 13, 39, 18, 0});
            c.push_back({kNoId, K::Text, col.legend, col.legendX, 33, 44, 26, 0});
            c.push_back({col.button, K::PushButton, "Roll", col.buttonX, 62, 31, 11, 0});
        }
        for (const Column &col : bottom) {
            c.push_back({kNoId, K::Text, col.heading, col.headingX, 94, 39, 18, 0});
            c.push_back({kNoId, K::Text, col.legend, col.legendX, 114, 44, 26, 0});
            c.push_back({col.button, K::PushButton, "Roll", col.buttonX, 144, 31, 11, 0});
        }
        c.push_back({random_tables_ids::kTitleField, K::Text, "", 233, 16, 80, 8, 0});
        c.push_back({kNoId, K::Text, "dr = ", 253, 31, 15, 8, 0});
        c.push_back({random_tables_ids::kDrField, K::Text, "", 275, 31, 15, 8, 0});
        c.push_back({kNoId, K::Text, "Result = ", 239, 44, 29, 8, 0});
        c.push_back({random_tables_ids::kResultField, K::Text, "", 275, 44, 15, 8, 0});
        c.push_back({random_tables_ids::kSingleDie, K::PushButton, "Single Die", 247, 82, 50, 14, 0});
        c.push_back({random_tables_ids::kTwoDice, K::PushButton, "Two Dice", 247, 104, 50, 14, 0});
        c.push_back({random_tables_ids::kHexRow, K::PushButton, "A - GG hexes", 247, 126, 50, 14, 0});
        c.push_back({random_tables_ids::kHexNumber, K::PushButton, "1- 10 hexes", 247, 148, 50, 14, 0});
        t.push_back(std::move(random));
    }

    std::sort(t.begin(), t.end(), [](const DialogTemplate &a, const DialogTemplate &b) { return a.id < b.id; });

    // Windows of ours: the roll history and the chart of the die statistics.
    t.push_back({kRollHistoryDialog,
                 "Roll History",
                 280,
                 200,
                 8,
                 kDialogSystemMenu | kDialogEscapeCloses,
                 {
                     {roll_history_ids::kRows, K::ListBox, "", 7, 7, 266, 164, kSunken},
                     {roll_history_ids::kCopy, K::PushButton, "&Copy", 7, 178, 50, 14, 0},
                     {roll_history_ids::kCopyAll, K::PushButton, "Copy &All", 61, 178, 50, 14, 0},
                     {roll_history_ids::kClear, K::PushButton, "C&lear", 115, 178, 50, 14, 0},
                     {roll_history_ids::kCount, K::Text, "", 169, 181, 50, 8, 0},
                     {roll_history_ids::kClose, K::PushButton, "Close", 223, 178, 50, 14, 0},
                 }});
    t.push_back({kDiceChartDialog,
                 "Dice Chart",
                 300,
                 240,
                 8,
                 kDialogSystemMenu | kDialogEscapeCloses,
                 {
                     {kNoId, K::Text, "DR (two dice)", 7, 6, 120, 8, 0},
                     {dice_chart_ids::kTwoDiceChart, K::BarChart, "", 7, 16, 286, 82, kSunken},
                     {dice_chart_ids::kTwoDiceFairness, K::Text, "", 7, 100, 286, 18, 0},
                     {kNoId, K::Text, "dr (one die)", 7, 124, 120, 8, 0},
                     {dice_chart_ids::kOneDieChart, K::BarChart, "", 7, 134, 286, 64, kSunken},
                     {dice_chart_ids::kOneDieFairness, K::Text, "", 7, 200, 286, 18, 0},
                     {dice_chart_ids::kClose, K::PushButton, "Close", 243, 220, 50, 14, 0},
                 }});
    return t;
}

} // namespace

const ControlTemplate *DialogTemplate::control(int controlId) const {
    if (controlId == kNoId) return nullptr;
    for (const ControlTemplate &c : controls)
        if (c.id == controlId) return &c;
    return nullptr;
}

DialogTemplate::Room DialogTemplate::freeRoom(const ControlTemplate &c) const {
    constexpr int kGap = 1;
    int right = c.style & kCentred ? c.x + c.width : width;
    for (const ControlTemplate &o : controls)
        if (o.x >= c.x + c.width && o.y < c.y + c.height && c.y < o.y + o.height) right = std::min(right, o.x - kGap);
    int bottom = height;
    for (const ControlTemplate &o : controls)
        if (o.y >= c.y + c.height && o.x < right && c.x < o.x + o.width) bottom = std::min(bottom, o.y - kGap);
    return {c.x, c.y, std::max(right, c.x + c.width), std::max(bottom, c.y + c.height)};
}

std::pair<std::size_t, std::size_t> DialogTemplate::groupOf(std::size_t index) const {
    std::size_t first = index;
    while (first > 0 && !(controls[first].style & kGroup)) --first;
    std::size_t end = index + 1;
    while (end < controls.size() && !(controls[end].style & kGroup)) ++end;
    return {first, end};
}

const std::vector<DialogTemplate> &allDialogTemplates() {
    static const std::vector<DialogTemplate> templates = makeTemplates();
    return templates;
}

const DialogTemplate *findDialogTemplate(int templateId) {
    for (const DialogTemplate &t : allDialogTemplates())
        if (t.id == templateId) return &t;
    return nullptr;
}

} // namespace treva
