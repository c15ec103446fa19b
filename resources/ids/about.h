// Control ids of the About box (template 116) and the notice box (126).
#pragma once

namespace treva::about_ids {

enum : int {
    kOk = 1,
    kText = 1089,
    kBuiltWith = 1091, // the notice's line on how the program was made
};

} // namespace treva::about_ids
