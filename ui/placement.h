// Where the frame's tool windows open, the same in every realisation, and
// where the player keeps them from one run to the next.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace treva {

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint &) const = default;
};

struct ScreenSize {
    int width = 0, height = 0;
    bool operator==(const ScreenSize &) const = default;
};

// A rectangle by its top-left corner and its size, in pixels.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; } // one past the last column
    int bottom() const { return y + height; }
    bool operator==(const ScreenRect &) const = default;
};

// What a new tool window has around it: the work area of its screen, the
// frame window's outer rectangle, the outer rectangles of the tool windows
// already open, and the height of a caption (with the border above it).
struct Surroundings {
    ScreenRect available;
    ScreenRect frame;
    std::vector<ScreenRect> open;
    int caption = 0;
};

// Moved into the area as far as it fits; larger than the area, its top-left
// corner stays inside.
ScreenPoint moveInto(const ScreenRect &area, ScreenPoint at, ScreenSize size);

// Where a new tool window goes (the top-left corner of its outer frame): in
// free room beside the frame or a window already open when there is any,
// the nearest to the frame's lower left corner; when there is none, where it
// hides the least of the captions of the open windows (below one of them, as
// a cascade), then the least of the windows themselves. It never covers the
// frame where it can help it, and it stays inside the area.
ScreenPoint toolWindowPosition(const Surroundings &around, ScreenSize window);

// Where the player keeps things between runs: the platform's own place for
// settings. Keys are words joined by '/'.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> read(const std::string &key) const = 0;
    virtual void write(const std::string &key, const std::string &value) = 0;
};

// The name of a layout of screens (their rectangles, the primary first), under
// which the places of the tool windows are kept: a window left on a second
// screen is not looked for on a laptop's own screen alone.
std::string screenLayoutName(const std::vector<ScreenRect> &screens);

// The places of the tool windows, by template: where each was last left,
// kept in `store` (if any) under the layout of screens of this run. The
// store is written only when a window is left somewhere new.
class Workspace {
public:
    explicit Workspace(SettingsStore *store = nullptr) : store_(store) {}
    void setStore(SettingsStore *store);
    void setScreens(const std::vector<ScreenRect> &screens);

    // Where the player last left a window of this template: its outer
    // rectangle (the size counts only for a window that can be resized).
    std::optional<ScreenRect> kept(int templateId);
    // Where a new window of this template goes: where one was left, moved
    // into today's area; otherwise free room.
    ScreenPoint place(int templateId, const Surroundings &around, ScreenSize window);
    // A window of this template is left at `outer` (it ends, or the program does).
    void leave(int templateId, const ScreenRect &outer);
    // Arrange Windows: every window in `windows` (outer rectangles, in the
    // order they were opened) placed again in free room, as though opened
    // anew one after another; their new rectangles.
    static std::vector<ScreenRect> arrange(const Surroundings &around, const std::vector<ScreenRect> &windows);

private:
    std::string key(int templateId) const;

    SettingsStore *store_;
    std::string layout_ = "screen";
    std::map<std::string, std::optional<ScreenRect>> places_; // by key; read once
};

} // namespace treva
