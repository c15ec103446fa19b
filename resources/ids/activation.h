// Control ids of the Activation window (template 101).
#pragma once

namespace treva::activation_ids {

enum : int {
    kRoll = 1039, // "Activation DR"
    kDrField = 1038,
    kModifierField = 1040,
    kFinalField = 1041,
    kStatus = 1042,
    kSummary = 1044,
    kConditions = 1046,
    kA1Field = 1047,
    kUnitsField = 1048,
    kAcField = 1085,
    kVpo = 1009,
    kStone = 1010,
    kNearby = 1011,
    kAllowManual = 1012,
    kAllowAttitude = 1013,
    kLevelList = 1015,
    kTerrainList = 1016,
    kHold = 1018,
    kAdvance = 1019,
    kManual = 1049, // "Manual Activation"
};

} // namespace treva::activation_ids
