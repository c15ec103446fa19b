#include "resources/tab_order.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace treva {
namespace {

using K = ControlKind;
using Order = std::vector<std::size_t>;

DialogTemplate window(std::vector<ControlTemplate> controls) {
    return {1, "Test", 300, 200, 8, 0, std::move(controls)};
}

TEST(TabOrder, ReadsRowsTopToBottomEachLeftToRight) {
    const DialogTemplate t = window({
        {10, K::PushButton, "lower", 10, 40, 50, 14, 0},
        {11, K::PushButton, "right", 100, 10, 50, 14, 0},
        {12, K::PushButton, "left, a little lower", 10, 12, 50, 14, 0},
    });
    EXPECT_EQ(tabOrder(t), (Order{2, 1, 0}));
}

TEST(TabOrder, ARowHoldsWhatOverlapsItsFirstControlByHalfTheShorterHeight) {
    const DialogTemplate t = window({
        {10, K::CheckBox, "first", 200, 0, 40, 10, 0},
        {11, K::CheckBox, "overlaps it by 6", 100, 4, 40, 10, 0},
        {12, K::CheckBox, "overlaps the second by 6, the first by 2", 0, 8, 40, 10, 0},
        {13, K::CheckBox, "first", 200, 50, 40, 10, 0},
        {14, K::CheckBox, "overlaps it by exactly half", 100, 55, 40, 10, 0},
        {15, K::CheckBox, "first", 200, 100, 40, 10, 0},
        {16, K::CheckBox, "overlaps it by less than half", 100, 106, 40, 10, 0},
        {17, K::PushButton, "tall", 200, 150, 40, 40, 0},
        {18, K::CheckBox, "short, wholly beside it", 100, 170, 40, 10, 0},
    });
    EXPECT_EQ(tabOrder(t), (Order{1, 0, 2, 4, 3, 5, 6, 8, 7}));
}

TEST(TabOrder, TextsAndPicturesAreNoStops) {
    const DialogTemplate t = window({
        {kNoId, K::Text, "label", 0, 0, 40, 8, 0},
        {20, K::EditBox, "", 50, 0, 40, 14, kBorder},
        {kNoId, K::Picture, "", 0, 20, 40, 40, 0, 1},
        {21, K::DropDownList, "", 50, 20, 60, 40, 0},
        {22, K::CheckBox, "box", 0, 70, 40, 10, 0},
        {23, K::Text, "field", 50, 70, 40, 8, kSunken},
        {24, K::DefaultPushButton, "OK", 0, 90, 50, 14, 0},
    });
    EXPECT_EQ(tabOrder(t), (Order{1, 3, 4, 6}));
}

TEST(TabOrder, ADropDownListCountsClosed) {
    // Its template height reaches over the lists below it.
    const DialogTemplate t = window({
        {30, K::DropDownList, "", 10, 10, 100, 70, 0},
        {31, K::DropDownList, "", 10, 26, 100, 70, 0},
        {32, K::PushButton, "beside the first", 120, 10, 50, 14, 0},
    });
    EXPECT_EQ(tabOrder(t), (Order{0, 2, 1}));
}

TEST(TabOrder, ARadioGroupIsOneStopWhereItsFirstButtonFalls) {
    const DialogTemplate t = window({
        {kNoId, K::Text, "Side:", 0, 10, 8, 8, kGroup},
        {40, K::RadioButton, "lower", 10, 50, 40, 10, 0},
        {41, K::RadioButton, "upper", 10, 10, 40, 10, 0},
        {42, K::PushButton, "between", 10, 30, 50, 14, 0},
        {43, K::RadioButton, "next group", 100, 10, 40, 10, kGroup},
        {44, K::RadioButton, "next group, lowest", 100, 60, 40, 10, 0},
    });
    // The first group's buttons in reading order, then the second group's,
    // which starts on the same row; the button between them comes after both.
    EXPECT_EQ(tabOrder(t), (Order{2, 1, 4, 5, 3}));
}

TEST(TabOrder, EveryWindowReachesEachControlThatTakesFocusOnce) {
    for (const DialogTemplate &t : allDialogTemplates()) {
        Order expected;
        for (std::size_t i = 0; i < t.controls.size(); ++i)
            if (takesFocus(t.controls[i].kind)) expected.push_back(i);
        Order order = tabOrder(t);
        std::sort(order.begin(), order.end());
        EXPECT_EQ(order, expected) << t.title;
    }
}

} // namespace
} // namespace treva
