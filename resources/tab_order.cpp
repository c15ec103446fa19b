#include "resources/tab_order.h"

#include <algorithm>
#include <set>

namespace treva {

bool takesFocus(ControlKind kind) {
    return kind != ControlKind::Text && kind != ControlKind::Picture && kind != ControlKind::BarChart;
}

namespace {

int top(const ControlTemplate &c) { return c.y; }
int bottom(const ControlTemplate &c) {
    return c.y + (c.kind == ControlKind::DropDownList ? std::min(c.height, kClosedListHeight) : c.height);
}

bool shareRow(const ControlTemplate &a, const ControlTemplate &b) {
    const int overlap = std::min(bottom(a), bottom(b)) - std::max(top(a), top(b));
    return 2 * overlap >= std::min(bottom(a) - top(a), bottom(b) - top(b));
}

} // namespace

std::vector<std::size_t> tabOrder(const DialogTemplate &dialog) {
    const auto &controls = dialog.controls;
    std::vector<std::size_t> byTop;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (takesFocus(controls[i].kind)) byTop.push_back(i);
    std::stable_sort(byTop.begin(), byTop.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(controls[a].y, controls[a].x) < std::pair(controls[b].y, controls[b].x);
    });

    std::vector<std::size_t> reading;
    for (auto row = byTop.begin(); row != byTop.end();) {
        auto end = row + 1;
        while (end != byTop.end() && shareRow(controls[*row], controls[*end])) ++end;
        std::stable_sort(row, end, [&](std::size_t a, std::size_t b) { return controls[a].x < controls[b].x; });
        reading.insert(reading.end(), row, end);
        row = end;
    }

    std::vector<std::size_t> order;
    std::set<std::size_t> groupsPlaced; // by the group's first control
    for (std::size_t i : reading) {
        if (controls[i].kind != ControlKind::RadioButton) {
            order.push_back(i);
            continue;
        }
        const auto [first, end] = dialog.groupOf(i);
        if (!groupsPlaced.insert(first).second) continue;
        for (std::size_t j : reading)
            if (j >= first && j < end && controls[j].kind == ControlKind::RadioButton) order.push_back(j);
    }
    return order;
}

} // namespace treva
