// The scenes of `--screenshots`: the frame and every window and box in a
// state worth showing, each photographed under the name the player's guide
// knows it by. Written once here; each desktop program supplies the camera.
#pragma once

#include <functional>

#include "ui/app.h"

namespace treva {

// What the scenes ask of a desktop program with real windows.
class Camera {
public:
    virtual ~Camera() = default;
    // Writes a picture of the window (the frame, a tool window or a box) as
    // it shows itself, named `name` (a file name without extension); false
    // when no picture could be written.
    virtual bool photograph(WindowId window, const char *name) = 0;
    // A click on a button, as the player's mouse gives it: a check box
    // toggles, a radio button checks itself, then the command goes out.
    virtual void click(WindowId window, int control) = 0;
    // Hands every modal box that opens from now on to `answer` once the box
    // takes input; `answer` ends it.
    virtual void answerBoxes(std::function<void(WindowId box)> answer) = 0;
};

// A fixed evening: every roll of the scenes is made at this time.
void screenshotClock(char (&text)[20]);

// Starts from a fresh scenario with fixed dice and the fixed clock, plays
// every scene, photographing as it goes, then closes the frame. The same
// program makes the same pictures. True when every picture was written and
// every box expected came.
bool playScreenshotScenes(App &app, Camera &camera);

} // namespace treva
