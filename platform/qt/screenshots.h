// `treva --screenshots DIR`: the scenes of ui/screenshot_scenes.h on Qt,
// as PNG files.
#pragma once

#include <QString>

namespace treva {

class QtWindowLayer;
struct App;

// Plays the screenshot scenes on the frame and its windows, writing each
// picture into `folder` (created if needed). Returns the program's exit
// status.
int takeScreenshots(QtWindowLayer &layer, App &app, const QString &folder);

} // namespace treva
