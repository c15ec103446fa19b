// Control ids of the Random Number Tables window (template 128).
#pragma once

namespace treva::random_tables_ids {

enum : int {
    // The "Roll" buttons of tables 6a..6h.
    kTableA = 1000,
    kTableB = 1001,
    kTableD = 1002,
    kTableC = 1003,
    kTableE = 1004,
    kTableF = 1005,
    kTableH = 1006,
    kTableG = 1007,
    kTwoDice = 1017,
    kSingleDie = 1018,
    kHexNumber = 1019,
    kHexRow = 1020,
    kDrField = 1091,
    kResultField = 1092,
    kTitleField = 1093,
};

} // namespace treva::random_tables_ids
