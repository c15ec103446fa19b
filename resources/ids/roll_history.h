// Control ids of the Roll History window (template 140).
#pragma once

namespace treva::roll_history_ids {

enum : int {
    kClose = 1,
    kRows = 2000, // one row a roll, newest first
    kCopy = 2001,
    kCopyAll = 2002,
    kClear = 2003,
    kCount = 2004, // how many rolls the history holds
};

} // namespace treva::roll_history_ids
