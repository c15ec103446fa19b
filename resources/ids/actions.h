// Control ids of the Actions window (template 103).
#pragma once

namespace treva::actions_ids {

enum : int {
    kInfAction = 1000,
    kAfvAction = 1001,
    kManualBox = 1003,
    // The table buttons, in this order; each has a marker beside it, whose id
    // is the button's + 62 (kVehMoveMarker..kOrdInfMarker).
    kVehMove = 1017,
    kInfMove = 1018,
    kIftAttack = 1019,
    kLatw = 1020,
    kOrdVeh = 1021,
    kOrdInf = 1022,
    // The manual die buttons "2".."12": kDie2 + DR - 2.
    kDie2 = 1031,
    kDie12 = 1041,
    kResults = 1050,
    kSummary = 1051,
    kDice = 1052,
    kRoll = 1053,
    kPanic = 1054,
    kDirection = 1055,
    kTitle = 1056,
    kDirectionButton = 1078,
    kVehMoveMarker = 1079,
    kInfMoveMarker = 1080,
    kIftMarker = 1081,
    kLatwMarker = 1082,
    kOrdVehMarker = 1083,
    kOrdInfMarker = 1084,
    kPicture = 1090,
};

inline constexpr int kMarkerOffset = kVehMoveMarker - kVehMove;
inline constexpr int dieButton(int dr) { return kDie2 + dr - 2; }

} // namespace treva::actions_ids
