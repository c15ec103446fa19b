// Where tool windows open, on a 1366 x 768 screen whose work area starts
// under a 27-pixel panel, with the frame at its top-left corner.
#include <gtest/gtest.h>

#include "ui/placement.h"

namespace treva {
namespace {

const ScreenRect kAvailable{0, 27, 1366, 741};
const ScreenRect kFrame{0, 27, 396, 134};

ScreenPoint at(const ScreenRect &frame, int width, int height, std::optional<ScreenPoint> remembered = std::nullopt) {
    return toolWindowPosition(kAvailable, frame, {width, height}, remembered);
}

TEST(ToolWindowPosition, BelowTheFrameElseBesideItRightElseLeft) {
    EXPECT_EQ(at(kFrame, 600, 400), (ScreenPoint{0, 169}));
    EXPECT_EQ(at(kFrame, 600, 650), (ScreenPoint{404, 27})) << "too tall to go below";
    const ScreenRect rightEdge{970, 27, 396, 134};
    EXPECT_EQ(at(rightEdge, 600, 650), (ScreenPoint{362, 27})) << "no room on the right";
    EXPECT_EQ(at(kFrame, 1500, 900), (ScreenPoint{0, 27})) << "larger than the screen";
}

TEST(ToolWindowPosition, WhereThePlayerLeftItAsFarInAsTheScreenAllows) {
    EXPECT_EQ(at(kFrame, 600, 400, ScreenPoint{700, 300}), (ScreenPoint{700, 300}));
    EXPECT_EQ(at(kFrame, 600, 400, ScreenPoint{1200, 700}), (ScreenPoint{766, 368}));
    EXPECT_EQ(at(kFrame, 600, 400, ScreenPoint{-50, 0}), (ScreenPoint{0, 27}));
    EXPECT_EQ(at(kFrame, 1500, 900, ScreenPoint{300, 300}), (ScreenPoint{0, 27})) << "top-left corner in sight";
}

} // namespace
} // namespace treva
