// Control ids of the Setup Options window (template 102) and of the Special
// window it opens (template 107).
#pragma once

namespace treva::setup_ids {

enum : int {
    kOk = 1,
    kNationalityList = 1008,
    kAc2 = 1018, // AC# 2..5: kAc2 + AC# - 2
    kAc3 = 1019,
    kAc4 = 1020,
    kAc5 = 1021,
    kHold = 1022,
    kAdvance = 1023,
    kMsrList = 1024,
    kFlatHexes = 1027,
    kPointedHexes = 1028,
    kYearList = 1036,
    kMonthList = 1037,
    kSpecialButton = 1000,
};

} // namespace treva::setup_ids

namespace treva::special_ids {

enum : int {
    kOk = 1,
    kFortificationBox = 1003,
    kA1Box = 1094,
    kA5Box = 1095,
};

} // namespace treva::special_ids
