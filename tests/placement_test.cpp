// Where tool windows open, with the frame at the top-left corner of the work
// area under a 27-pixel panel, and where the player keeps them.
#include <gtest/gtest.h>

#include <map>

#include "ui/placement.h"

namespace treva {
namespace {

const ScreenRect kSmall{0, 27, 1366, 741}, kLarge{0, 27, 1920, 1053};
const ScreenRect kFrame{0, 27, 396, 134};
constexpr int kCaption = 30;
// The seven tool windows' outer sizes, in the order of the Windows menu.
const ScreenSize kTools[] = {{424, 350}, {520, 430}, {330, 260}, {400, 330}, {350, 300}, {600, 340}, {440, 360}};

int64_t overlap(const ScreenRect &a, const ScreenRect &b) {
    const int64_t width = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const int64_t height = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return width > 0 && height > 0 ? width * height : 0;
}

// Opens every tool window one after another, as the Windows menu does.
std::vector<ScreenRect> openAll(const ScreenRect &area) {
    Surroundings around{area, kFrame, {}, kCaption};
    for (const ScreenSize size : kTools) {
        const ScreenPoint at = toolWindowPosition(around, size);
        around.open.push_back({at.x, at.y, size.width, size.height});
    }
    return around.open;
}

bool inside(const ScreenRect &area, const ScreenRect &r) {
    return r.x >= area.x && r.y >= area.y && r.right() <= area.right() && r.bottom() <= area.bottom();
}

TEST(ToolWindowPosition, FreeRoomFirstBelowTheFrameThenBesideTheOthers) {
    const std::vector<ScreenRect> open = openAll(kLarge);
    EXPECT_EQ((ScreenPoint{open[0].x, open[0].y}), (ScreenPoint{0, 169})) << "the first below the frame";
    for (size_t i = 0; i < open.size(); ++i) {
        EXPECT_TRUE(inside(kLarge, open[i])) << i;
        EXPECT_EQ(overlap(open[i], kFrame), 0) << i;
        for (size_t j = 0; j < i; ++j) EXPECT_EQ(overlap(open[i], open[j]), 0) << i << " over " << j;
    }
}

TEST(ToolWindowPosition, NoRoomLeftKeepsEveryCaptionMostlyInSight) {
    const std::vector<ScreenRect> open = openAll(kSmall);
    for (size_t i = 0; i < open.size(); ++i) {
        EXPECT_TRUE(inside(kSmall, open[i])) << i;
        EXPECT_EQ(overlap(open[i], kFrame), 0) << i;
        // Each later window lies on top of this one's caption.
        const ScreenRect caption{open[i].x, open[i].y, open[i].width, kCaption};
        int64_t hidden = 0;
        for (size_t j = i + 1; j < open.size(); ++j) hidden = std::max(hidden, overlap(caption, open[j]));
        EXPECT_LE(hidden * 2, int64_t{caption.width} * caption.height) << "caption of window " << i;
    }
    const ScreenPoint big = toolWindowPosition({kSmall, kFrame, {}, kCaption}, {1500, 900});
    EXPECT_EQ(big, (ScreenPoint{0, 27})) << "larger than the screen: its top-left corner in sight";
    // Too tall to go below the frame (as at 150 %): beside it, clear of its caption and menu.
    const ScreenPoint tall = toolWindowPosition({kSmall, kFrame, {}, kCaption}, {1040, 680});
    EXPECT_EQ(overlap({tall.x, tall.y, 1040, 680}, {kFrame.x, kFrame.y, kFrame.width, 2 * kCaption}), 0);
}

TEST(ToolWindowPosition, ArrangeSpreadsWindowsThatLieOnOneAnother) {
    const std::vector<ScreenRect> piled(3, ScreenRect{0, 169, 424, 350});
    const std::vector<ScreenRect> arranged = Workspace::arrange({kLarge, kFrame, piled, kCaption}, piled);
    ASSERT_EQ(arranged.size(), 3u);
    EXPECT_EQ(overlap(arranged[0], arranged[1]) + overlap(arranged[0], arranged[2]) + overlap(arranged[1], arranged[2]),
              0);
}

class MemoryStore : public SettingsStore {
public:
    std::optional<std::string> read(const std::string &key) const override {
        const auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    void write(const std::string &key, const std::string &value) override {
        values[key] = value;
        ++writes;
    }
    std::map<std::string, std::string> values;
    int writes = 0;
};

TEST(Workspace, APlaceLeftIsKeptPerLayoutOfScreensAndBroughtBackOnScreen) {
    MemoryStore store;
    const Surroundings around{kSmall, kFrame, {}, kCaption};
    {
        Workspace run(&store);
        run.setScreens({{0, 0, 1366, 768}});
        EXPECT_EQ(run.place(120, around, {400, 300}), (ScreenPoint{0, 169})) << "nothing kept yet";
        run.leave(120, {700, 300, 400, 300});
        run.leave(121, {1200, 700, 400, 300});
    }
    EXPECT_EQ(store.values.at("windows/1366x768+0+0/120"), "700 300 400 300");
    Workspace next(&store);
    next.setScreens({{0, 0, 1366, 768}});
    EXPECT_EQ(next.place(120, around, {400, 300}), (ScreenPoint{700, 300}));
    EXPECT_EQ(next.place(121, around, {400, 300}), (ScreenPoint{966, 468})) << "moved back onto the screen";
    next.leave(120, {700, 300, 400, 300});
    EXPECT_EQ(store.writes, 2) << "left where it was: nothing written";

    Workspace other(&store);
    other.setScreens({{0, 0, 1920, 1080}});
    EXPECT_FALSE(other.kept(120)) << "another layout of screens keeps its own places";
}

TEST(Workspace, ADamagedPlaceIsNoPlace) {
    MemoryStore store;
    for (const char *damaged : {"700 300", "a b c d", "1 2 3 4 5", "0 0 0 300", "5 5 999999999 10"}) {
        store.values["windows/screen/120"] = damaged;
        Workspace run(&store);
        EXPECT_FALSE(run.kept(120)) << damaged;
    }
}

} // namespace
} // namespace treva
