#include "ui/placement.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace treva {
namespace {

constexpr int kGap = 8;

int64_t overlap(const ScreenRect &a, const ScreenRect &b) {
    const int64_t width = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const int64_t height = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return width > 0 && height > 0 ? width * height : 0;
}

ScreenRect captionOf(const ScreenRect &window, int caption) {
    return {window.x, window.y, window.width, std::min(caption, window.height)};
}

} // namespace

ScreenPoint moveInto(const ScreenRect &area, ScreenPoint at, ScreenSize size) {
    return {std::max(area.x, std::min(at.x, area.right() - size.width)),
            std::max(area.y, std::min(at.y, area.bottom() - size.height))};
}

ScreenPoint toolWindowPosition(const Surroundings &around, ScreenSize window) {
    const ScreenRect &area = around.available, &frame = around.frame;
    const ScreenPoint home{frame.x, frame.bottom() + kGap};
    const auto distance = [&](ScreenPoint at) { return std::abs(at.x - home.x) + std::abs(at.y - home.y); };
    const auto rect = [&](ScreenPoint at) { return ScreenRect{at.x, at.y, window.width, window.height}; };

    // Free room: lined up with the area's edges, or on or beside an edge of
    // the frame or of an open window; the nearest to the frame's lower left.
    std::vector<int> xs{area.x, area.right() - window.width};
    std::vector<int> ys{area.y, area.bottom() - window.height};
    std::vector<ScreenRect> others = around.open;
    others.push_back(frame);
    for (const ScreenRect &r : others) {
        xs.insert(xs.end(), {r.x, r.right() + kGap, r.x - kGap - window.width});
        ys.insert(ys.end(), {r.y, r.bottom() + kGap, r.y - kGap - window.height});
    }
    std::optional<ScreenPoint> free;
    for (const int x : xs) {
        for (const int y : ys) {
            const ScreenPoint at = moveInto(area, {x, y}, window);
            if (free && distance(at) >= distance(*free)) continue;
            const ScreenRect placed = rect(at);
            bool clear = overlap(placed, frame) == 0;
            for (const ScreenRect &r : around.open) clear = clear && overlap(placed, r) == 0;
            if (clear) free = at;
        }
    }
    if (free) return *free;

    // No room left: a cascade, below the caption of an open window (or below
    // or beside the frame), where it hides the least. The frame's caption and
    // menu bar first; then no caption more than it must be (the share of its
    // width covered at all); then as little as may be.
    const int right = frame.right() + kGap, left = frame.x - kGap - window.width;
    std::vector<ScreenPoint> candidates{home, {right, frame.y}, {left, frame.y}, {right, home.y}, {left, home.y}};
    for (const ScreenRect &r : around.open) candidates.push_back({r.x + around.caption, r.y + around.caption});
    const ScreenRect frameTop{frame.x, frame.y, frame.width, std::min(frame.height, 2 * around.caption)};
    ScreenPoint best = moveInto(area, home, window);
    std::tuple<int64_t, int64_t, int64_t, int64_t, int64_t, int64_t> least{INT64_MAX, 0, 0, 0, 0, 0};
    for (const ScreenPoint candidate : candidates) {
        const ScreenPoint at = moveInto(area, candidate, window);
        const ScreenRect placed = rect(at);
        int64_t worst = 0, captions = 0, covered = 0;
        for (const ScreenRect &r : around.open) {
            const ScreenRect caption = captionOf(r, around.caption);
            if (const int64_t hidden = overlap(placed, caption)) {
                const int64_t width = std::min(placed.right(), caption.right()) - std::max(placed.x, caption.x);
                worst = std::max(worst, width * 1000 / std::max(1, caption.width));
                captions += hidden;
            }
            covered += overlap(placed, r);
        }
        const auto cost =
            std::make_tuple(overlap(placed, frameTop), worst, overlap(placed, frame), captions, covered, distance(at));
        if (cost < least) {
            least = cost;
            best = at;
        }
    }
    return best;
}

std::string screenLayoutName(const std::vector<ScreenRect> &screens) {
    std::string name;
    for (const ScreenRect &s : screens) {
        char part[64];
        std::snprintf(part, sizeof part, "%s%dx%d%+d%+d", name.empty() ? "" : ",", s.width, s.height, s.x, s.y);
        name += part;
    }
    return name.empty() ? "screen" : name;
}

void Workspace::setStore(SettingsStore *store) {
    store_ = store;
    places_.clear();
}

void Workspace::setScreens(const std::vector<ScreenRect> &screens) { layout_ = screenLayoutName(screens); }

std::string Workspace::key(int templateId) const { return "windows/" + layout_ + "/" + std::to_string(templateId); }

std::optional<ScreenRect> Workspace::kept(int templateId) {
    const std::string name = key(templateId);
    if (const auto it = places_.find(name); it != places_.end()) return it->second;
    std::optional<ScreenRect> place;
    if (const std::optional<std::string> text = store_ ? store_->read(name) : std::nullopt) {
        // "x y width height"; anything else is no place (a damaged setting
        // costs the window its place, nothing more).
        ScreenRect r;
        char end = 0;
        if (std::sscanf(text->c_str(), "%d %d %d %d%c", &r.x, &r.y, &r.width, &r.height, &end) == 4 && r.width > 0 &&
            r.height > 0 && r.width <= 100000 && r.height <= 100000 && std::abs(r.x) <= 1000000 &&
            std::abs(r.y) <= 1000000)
            place = r;
    }
    places_[name] = place;
    return place;
}

ScreenPoint Workspace::place(int templateId, const Surroundings &around, ScreenSize window) {
    if (const std::optional<ScreenRect> left = kept(templateId))
        return moveInto(around.available, {left->x, left->y}, window);
    return toolWindowPosition(around, window);
}

void Workspace::leave(int templateId, const ScreenRect &outer) {
    if (kept(templateId) == outer) return; // nothing new: nothing written
    const std::string name = key(templateId);
    places_[name] = outer;
    if (!store_) return;
    char text[64];
    std::snprintf(text, sizeof text, "%d %d %d %d", outer.x, outer.y, outer.width, outer.height);
    store_->write(name, text);
}

std::vector<ScreenRect> Workspace::arrange(const Surroundings &around, const std::vector<ScreenRect> &windows) {
    Surroundings placed = around;
    placed.open.clear();
    std::vector<ScreenRect> result;
    for (const ScreenRect &w : windows) {
        const ScreenPoint at = toolWindowPosition(placed, {w.width, w.height});
        result.push_back({at.x, at.y, w.width, w.height});
        placed.open.push_back(result.back());
    }
    return result;
}

} // namespace treva
