#include "resources/dialogs.h"

#include <algorithm>

namespace treva {
namespace {

using K = ControlKind;
constexpr unsigned kButton = kTabStop;
constexpr unsigned kList = kTabStop | kVScroll;
constexpr unsigned kEdit = kTabStop | kBorder | kAutoHScroll;

const char kSansSerif[] = "MS Sans Serif";

std::vector<DialogTemplate> makeTemplates() {
    std::vector<DialogTemplate> t;

    t.push_back({kActivationDialog,
                 "Activation",
                 386,
                 257,
                 kSansSerif,
                 8,
                 kDialogSystemMenu | kDialogModalFrame,
                 {
                     {1039, K::PushButton, "Activation DR", 15, 22, 62, 28, kButton},
                     {1009, K::CheckBox, "-1: in/ADJ to VPO", 27, 68, 69, 10, kButton},
                     {1010, K::CheckBox, "-1: in stone building", 27, 83, 77, 10, kButton},
                     {1011, K::CheckBox, "-1: > 1 units w/i two hexes", 27, 98, 104, 10, kButton},
                     {1044, K::Text, "", 245, 13, 123, 38, 0},
                     {1012, K::CheckBox, "Allow manual unit generation", 247, 148, 106, 10, kButton},
                     {1015, K::DropDownList, "", 27, 114, 123, 60, kList},
                     {1016, K::DropDownList, "", 27, 134, 123, 59, kList},
                     {1049, K::PushButton, "Manual Activation", 170, 127, 71, 16, kButton},
                     {1047, K::Text, "", 169, 108, 72, 14, kCentred},
                     {1042, K::Text, "1", 94, 44, 133, 10, kCentred},
                     {kNoId, K::Text, "DR", 92, 13, 20, 12, 0},
                     {kNoId, K::Text, "Modifiers", 122, 13, 33, 10, 0},
                     {kNoId, K::Text, "Final DR", 161, 13, 30, 10, 0},
                     {kNoId, K::Text, "AC#", 202, 13, 20, 10, 0},
                     {kNoId, K::Text, "+", 116, 29, 11, 14, 0},
                     {1040, K::Text, "0", 133, 29, 15, 14, 0},
                     {kNoId, K::Text, "=", 153, 29, 10, 14, 0},
                     {1041, K::Text, "0", 166, 29, 20, 14, 0},
                     {1085, K::Text, "", 202, 29, 20, 14, kCentred},
                     {1038, K::Text, "0", 98, 29, 13, 14, 0},
                     {1046, K::Text, "", 21, 182, 349, 60, kBorder},
                     {1048, K::Text, "", 245, 59, 125, 85, kSunken},
                     {1018, K::RadioButton, "Hold Attitude", 143, 68, 57, 10, kGroup},
                     {1019, K::RadioButton, "Advance Attitude", 143, 81, 71, 10, 0},
                     {1013, K::CheckBox, "Allow Attitude changes", 247, 162, 88, 10, kButton | kGroup},
                 }});

    t.push_back({kSetupDialog,
                 "Setup Options",
                 257,
                 189,
                 kSansSerif,
                 8,
                 kDialogCentred | kDialogModalFrame,
                 {
                     {1, K::DefaultPushButton, "OK", 108, 164, 50, 14, kButton},
                     {kNoId, K::Text, "AC#:", 71, 15, 17, 8, kGroup},
                     {1018, K::RadioButton, "2", 95, 15, 20, 10, kTabStop},
                     {1019, K::RadioButton, "3", 125, 15, 20, 10, 0},
                     {1020, K::RadioButton, "4", 151, 15, 20, 10, 0},
                     {1021, K::RadioButton, "5", 177, 15, 20, 10, 0},
                     {1036, K::DropDownList, "", 14, 67, 103, 69, kList},
                     {1008, K::DropDownList, "", 14, 117, 103, 55, kList},
                     {1037, K::DropDownList, "", 14, 83, 104, 72, kList},
                     {kNoId, K::Text, "Attitude:", 13, 34, 27, 8, kGroup},
                     {1022, K::RadioButton, "Hold", 46, 33, 31, 10, kTabStop},
                     {1023, K::RadioButton, "Advance", 46, 47, 45, 10, 0},
                     {1024, K::DropDownList, "", 14, 100, 104, 72, kList},
                     {kNoId, K::Text, "Map Orientation", 155, 42, 51, 8, kGroup},
                     {1027, K::RadioButton, "", 140, 66, 11, 8, kTabStop},
                     {1028, K::RadioButton, "", 140, 108, 9, 8, 0},
                     {kNoId, K::Picture, "", 152, 95, 56, 37, 0, 109},
                     {kNoId, K::Picture, "", 152, 52, 56, 37, 0, 110},
                     {1000, K::PushButton, "Special Controls", 151, 140, 66, 14, kButton | kGroup},
                 }});

    t.push_back({kActionsDialog,
                 "Actions",
                 383,
                 255,
                 kSansSerif,
                 8,
                 kDialogSystemMenu | kDialogModalFrame,
                 {
                     {1000, K::PushButton, "INF Action", 19, 10, 50, 14, kButton},
                     {1001, K::PushButton, "AFV Action", 19, 29, 50, 14, kButton},
                     {1052, K::Text, "", 17, 48, 62, 8, kCentred},
                     {1056, K::Text, "", 17, 60, 170, 8, 0},
                     {1054, K::Text, "", 87, 10, 96, 33, kSunken},
                     {1051, K::Text, "", 253, 14, 111, 33, kSunken},
                     {1050, K::Text, "", 13, 72, 222, 166, kSunken},
                     {1053, K::Text, "", 259, 66, 51, 8, kCentred},
                     {1017, K::PushButton, "Veh. Move.", 259, 79, 50, 14, kButton},
                     {1018, K::PushButton, "Inf. Move.", 259, 97, 50, 14, kButton},
                     {1019, K::PushButton, "IFT Attack", 259, 115, 50, 14, kButton},
                     {1020, K::PushButton, "LATW", 259, 136, 50, 14, kButton},
                     {1021, K::PushButton, "Ord. vs Veh.", 259, 155, 50, 14, kButton},
                     {1022, K::PushButton, "Ord. vs Inf", 259, 174, 50, 14, kButton},
                     {1079, K::Text, "", 245, 82, 8, 8, kCentred},
                     {1080, K::Text, "", 245, 100, 8, 8, kCentred},
                     {1081, K::Text, "", 245, 118, 8, 8, kCentred},
                     {1082, K::Text, "", 245, 139, 8, 8, kCentred},
                     {1083, K::Text, "", 245, 158, 8, 8, kCentred},
                     {1084, K::Text, "", 245, 177, 8, 8, kCentred},
                     {1036, K::PushButton, "7", 338, 65, 20, 14, kButton},
                     {1035, K::PushButton, "6", 327, 87, 20, 14, kButton},
                     {1034, K::PushButton, "5", 327, 108, 20, 14, kButton},
                     {1033, K::PushButton, "4", 327, 130, 20, 14, kButton},
                     {1032, K::PushButton, "3", 327, 151, 20, 14, kButton},
                     {1031, K::PushButton, "2", 327, 173, 20, 14, kButton},
                     {1037, K::PushButton, "8", 351, 87, 20, 14, kButton},
                     {1038, K::PushButton, "9", 351, 108, 20, 14, kButton},
                     {1039, K::PushButton, "10", 351, 130, 20, 14, kButton},
                     {1040, K::PushButton, "11", 351, 151, 20, 14, kButton},
                     {1041, K::PushButton, "12", 351, 173, 20, 14, kButton},
                     {1003, K::CheckBox, "Manual die roll", 315, 193, 61, 10, kButton},
                     {1078, K::PushButton, "Direction", 253, 214, 50, 14, kButton},
                     {1055, K::Text, "", 255, 234, 47, 8, kSunken},
                     {1090, K::Picture, "", 315, 210, 61, 36, 0, 118},
                 }});

    t.push_back({kSpecialDialog,
                 "Special",
                 240,
                 122,
                 kSansSerif,
                 8,
                 kDialogSystemMenu | kDialogModalFrame,
                 {
                     {1, K::DefaultPushButton, "OK", 87, 90, 50, 14, kButton},
                     {kNoId, K::Text, "A1 Modifier", 16, 35, 36, 8, 0},
                     {kNoId, K::Text, "A5 Modifier", 16, 55, 36, 8, 0},
                     {1094, K::EditBox, "", 59, 32, 21, 14, kEdit},
                     {1095, K::EditBox, "", 59, 52, 21, 14, kEdit},
                     {1003, K::CheckBox, "An even modified Activation die roll special for fortifications.", 16, 74,
                      201, 10, kButton},
                     {kNoId, K::Text, "The following controls and options may be needed for individual scenarios", 7, 7,
                      226, 21, 0},
                     {kNoId, K::Text, "Either value as non-zero sets MSR to zero", 90, 39, 107, 19, 0},
                 }});

    {
        DialogTemplate stats{
            kDieStatsDialog, "Die Stats", 327, 164, kSansSerif, 8, kDialogSystemMenu | kDialogModalFrame, {}};
        auto &c = stats.controls;
        static const char *const twoDice[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
        static const char *const oneDie[] = {"1", "2", "3", "4", "5", "6"};
        const int twoDiceX[] = {20, 41, 62, 83, 104, 125, 146, 167, 188, 209, 230};
        const int oneDieX[] = {79, 101, 121, 143, 163, 185};
        c.push_back({kNoId, K::Text, "DR Outcomes", 121, 25, 51, 10, 0});
        for (int i = 0; i < 11; ++i) c.push_back({kNoId, K::Text, twoDice[i], twoDiceX[i], 42, 8, 8, 0});
        for (int i = 0; i < 11; ++i)
            c.push_back({1057 + i, K::Text, "*", twoDiceX[i], 56, 1057 + i == 1065 ? 14 : 8, 8, 0});
        c.push_back({kNoId, K::Text, "dr Outcomes", 119, 107, 51, 10, 0});
        for (int i = 0; i < 6; ++i) c.push_back({kNoId, K::Text, oneDie[i], oneDieX[i], 123, 8, 8, 0});
        for (int i = 0; i < 6; ++i) c.push_back({1068 + i, K::Text, "*", oneDieX[i], 137, 8, 8, 0});
        c.push_back({1000, K::PushButton, "Clear", 114, 76, 50, 14, kButton});
        c.push_back({kNoId, K::Text, "Total DR #", 257, 14, 51, 10, 0});
        c.push_back({1074, K::Text, "", 257, 26, 51, 10, kSunken});
        c.push_back({kNoId, K::Text, "Average DR", 257, 44, 51, 10, 0});
        c.push_back({1076, K::Text, "", 257, 56, 51, 10, kSunken});
        c.push_back({kNoId, K::Text, "Total dr #", 257, 91, 51, 10, 0});
        c.push_back({1075, K::Text, "", 257, 104, 51, 10, kSunken});
        c.push_back({kNoId, K::Text, "Average dr", 257, 127, 51, 10, 0});
        c.push_back({1077, K::Text, "", 257, 139, 51, 10, kSunken});
        t.push_back(std::move(stats));
    }

    t.push_back({kAdvanceDialog,
                 "Advance",
                 249,
                 199,
                 kSansSerif,
                 8,
                 kDialogSystemMenu | kDialogModalFrame,
                 {
                     {1000, K::PushButton, "Advance", 37, 15, 50, 14, kButton},
                     {1087, K::Text, "", 37, 39, 46, 8, kCentred},
                     {1088, K::Picture, "", 122, 16, 61, 36, 0, 118},
                     {1001, K::PushButton, "CC NTC", 37, 73, 50, 14, kButton},
                     {1003, K::PushButton, "CC Pairings", 101, 73, 50, 14, kButton},
                     {1002, K::PushButton, "CC Attack", 165, 73, 50, 14, kButton},
                     {1086, K::Text, "", 16, 95, 212, 90, kSunken},
                 }});

    t.push_back({kAboutDialog,
                 "About TREVA!",
                 145,
                 120,
                 kSansSerif,
                 14,
                 kDialogCentred | kDialogSystemMenu | kDialogModalFrame,
                 {
                     {kNoId, K::Picture, "", 35, 3, 75, 66, 0, 117},
                     {1089, K::Text,
                      "TREVA! A VENK Assistant\rFree software under the MIT licence\rMade by the TREVA developers\r"
                      "Trademarks respective of their owners.",
                      3, 71, 139, 32, kCentred},
                     {1, K::DefaultPushButton, "OK", 47, 104, 50, 14, kButton},
                 }});

    t.push_back(
        {kNoticeDialog,
         "Beta Notice",
         202,
         142,
         kSansSerif,
         14,
         kDialogCentred | kDialogSystemMenu | kDialogModalFrame,
         {
             {kNoId, K::Picture, "", 5, 5, 44, 31, 0, 127},
             {kNoId, K::Text,
              "TREVA! A VENK Assistant.\rBeta 0.9.5. August 10, 1998.\rCopyright the TREVA developers, MIT licence.",
              55, 6, 144, 26, 0},
             {kNoId, K::Text,
              "As a beta version, I would like your comments, questions and problems about this application:\r"
              "please file them on the TREVA issue tracker,\rwith the scenario file (.trv) if one is involved.",
              5, 40, 192, 42, 0},
             {kNoId, K::Text,
              "Written in C++ with Qt by the TREVA developers.\rThe tables are the module's, word for word.", 5, 85,
              192, 26, 0},
             {1, K::DefaultPushButton, "Enough", 76, 120, 50, 14, kButton},
         }});

    {
        DialogTemplate random{kRandomTablesDialog,
                              "Random Number Tables",
                              326,
                              186,
                              kSansSerif,
                              8,
                              kDialogSystemMenu | kDialogModalFrame,
                              {}};
        auto &c = random.controls;
        struct Column {
            const char *heading;
            const char *legend;
            int headingX, legendX, buttonX, button;
        };
        const Column top[] = {
            {"Table 6a\rdr    result", "<= 1     4\r 2 - 3    3\r >= 4    2", 14, 9, 13, 1000},
            {"Table 6b\rdr    result", "<= 3    3\r4 - 5    2\r >=6    1", 67, 68, 65, 1001},
            {"Table 6c\rdr    result", "<= 2     3\r 3 - 4    2\r >= 5    1", 120, 119, 119, 1003},
            {"Table 6d\rdr    result", "<= 1     3\r 2 - 3    2\r >= 4    1", 173, 170, 169, 1002},
        };
        const Column bottom[] = {
            {"Table 6e\rdr    result", "<= 3     2\r >= 4    1", 11, 8, 13, 1004},
            {"Table 6f\rdr    result", "<= 1     3\r 2 - 5    2\r >= 6    1", 69, 65, 67, 1005},
            {"Table 6g\rdr    result", "<= 2     2\r >= 3    1", 121, 119, 121, 1007},
            {"Table 6h\rdr    result", "<= 2     0\r3 - 5     1\r >= 6    2", 173, 171, 171, 1006},
        };
        for (const Column &col : top) {
            c.push_back({kNoId, K::Text, col.heading, col.headingX, 13, 39, 18, 0});
            c.push_back({kNoId, K::Text, col.legend, col.legendX, 33, 44, 26, 0});
            c.push_back({col.button, K::PushButton, "Roll", col.buttonX, 62, 31, 11, kButton});
        }
        for (const Column &col : bottom) {
            c.push_back({kNoId, K::Text, col.heading, col.headingX, 94, 39, 18, 0});
            c.push_back({kNoId, K::Text, col.legend, col.legendX, 114, 44, 26, 0});
            c.push_back({col.button, K::PushButton, "Roll", col.buttonX, 144, 31, 11, kButton});
        }
        c.push_back({1093, K::Text, "", 233, 16, 80, 8, 0});
        c.push_back({kNoId, K::Text, "dr = ", 253, 31, 15, 8, 0});
        c.push_back({1091, K::Text, "", 275, 31, 15, 8, 0});
        c.push_back({kNoId, K::Text, "Result = ", 239, 44, 29, 8, 0});
        c.push_back({1092, K::Text, "", 275, 44, 15, 8, 0});
        c.push_back({1018, K::PushButton, "Single Die", 247, 82, 50, 14, kButton});
        c.push_back({1017, K::PushButton, "Two Dice", 247, 104, 50, 14, kButton});
        c.push_back({1020, K::PushButton, "A - GG hexes", 247, 126, 50, 14, kButton});
        c.push_back({1019, K::PushButton, "1- 10 hexes", 247, 148, 50, 14, kButton});
        t.push_back(std::move(random));
    }

    std::sort(t.begin(), t.end(), [](const DialogTemplate &a, const DialogTemplate &b) { return a.id < b.id; });
    return t;
}

} // namespace

const ControlTemplate *DialogTemplate::control(int controlId) const {
    if (controlId == kNoId) return nullptr;
    for (const ControlTemplate &c : controls)
        if (c.id == controlId) return &c;
    return nullptr;
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
