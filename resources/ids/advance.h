// Control ids of the Advance window (template 115).
#pragma once

namespace treva::advance_ids {

enum : int {
    kAdvanceButton = 1000,
    kNtcButton = 1001,
    kAttackButton = 1002,
    kPairingsButton = 1003,
    kTextArea = 1086,
    kRollField = 1087,
    kPicture = 1088,
};

} // namespace treva::advance_ids
