#include "ui/placement.h"

#include <algorithm>
#include <cstdint>

namespace treva {
namespace {

// Moved into the area as far as it fits; larger than the area, its top-left
// corner stays inside.
ScreenPoint moveInto(const ScreenRect &area, ScreenPoint at, ScreenSize size) {
    return {std::max(area.x, std::min(at.x, area.right() - size.width)),
            std::max(area.y, std::min(at.y, area.bottom() - size.height))};
}

int64_t overlap(const ScreenRect &a, const ScreenRect &b) {
    const int64_t width = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const int64_t height = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return width > 0 && height > 0 ? width * height : 0;
}

} // namespace

ScreenPoint toolWindowPosition(const ScreenRect &available, const ScreenRect &frame, ScreenSize window,
                               std::optional<ScreenPoint> remembered) {
    if (remembered) return moveInto(available, *remembered, window);
    constexpr int gap = 8;
    const int below = frame.bottom() + gap, right = frame.right() + gap, left = frame.x - gap - window.width;
    const ScreenPoint candidates[] = {
        {frame.x, below}, {right, frame.y}, {left, frame.y}, {right, below}, {left, below}};
    ScreenPoint best;
    int64_t leastCovered = -1;
    for (const ScreenPoint at : candidates) {
        const ScreenPoint placed = moveInto(available, at, window);
        const int64_t covered = overlap({placed.x, placed.y, window.width, window.height}, frame);
        if (leastCovered < 0 || covered < leastCovered) {
            best = placed;
            leastCovered = covered;
        }
    }
    return best;
}

} // namespace treva
