// `treva --screenshots DIR`: every window and box, filled as in play, as PNG files.
#pragma once

#include <QString>

namespace treva {

class QtWindowLayer;
struct App;

// Opens the frame, every tool window and every box in turn, with a few rolls
// made so that the fields show something, and writes one PNG of each into
// `folder` (created if needed). Returns the program's exit status.
int takeScreenshots(QtWindowLayer &layer, App &app, const QString &folder);

} // namespace treva
