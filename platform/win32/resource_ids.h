// Resource numbers the resource script and the program share (the script
// is read by the resource compiler, which takes plain macros only).
#pragma once

// Icon groups, in this order in the executable: the first is the program's
// icon, the second (icon index 1) the scenario files' icon the file
// association names.
#define TREVA_APP_ICON 106
#define TREVA_SCENARIO_ICON 131
