// The in-memory windows take input as the real controls do: which input
// reaches a procedure, in what order, and what it leaves in the controls.
// The windows here have a recording procedure, not the program's own.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_layer.h"
#include "resources/dialogs.h"
#include "resources/ids/activation.h"
#include "resources/ids/setup.h"

namespace treva {
namespace {

using namespace activation_ids;

// A command as the procedure saw it: the control, and the selection of the
// level list at that moment.
struct Seen {
    int id;
    int levelSelection;
    bool operator==(const Seen &) const = default;
};

struct Recorded {
    HeadlessLayer ui;
    std::vector<Seen> seen;
    WindowId window = kNoWindow;

    explicit Recorded(int templateId) {
        window = ui.createModeless(templateId, ui.frame(), [this](WindowId self, const Message &m) {
            if (m.kind == MessageKind::Command) seen.push_back({m.id, ui.selection(self, kLevelList)});
            return false;
        });
        for (const int list : {kLevelList, kTerrainList}) {
            for (const char *item : {"a", "b", "c"}) ui.addItem(window, list, item);
            ui.setSelection(window, list, 0);
        }
        seen.clear();
    }

    std::vector<Seen> take() { return std::exchange(seen, {}); }
};

TEST(HeadlessInput, AListReportsTheFocusItGainsBeforeTheChoice) {
    Recorded r(kActivationDialog);
    ASSERT_TRUE(r.ui.choose(r.window, kLevelList, 2));
    EXPECT_EQ(r.take(), (std::vector<Seen>{{kLevelList, 0}, {kLevelList, 2}}));

    ASSERT_TRUE(r.ui.choose(r.window, kLevelList, 1)); // it has the focus already
    EXPECT_EQ(r.take(), (std::vector<Seen>{{kLevelList, 1}}));

    ASSERT_TRUE(r.ui.click(r.window, kVpo)); // the focus moves on
    ASSERT_TRUE(r.ui.click(r.window, kLevelList));
    EXPECT_EQ(r.take(), (std::vector<Seen>{{kVpo, 1}, {kLevelList, 1}}));
    EXPECT_EQ(r.ui.window(r.window)->focus, kLevelList);
}

TEST(HeadlessInput, AClickOnAListOrAnEditBoxChoosesAndSendsNothing) {
    Recorded r(kActivationDialog);
    ASSERT_TRUE(r.ui.click(r.window, kLevelList)); // the focus: reported
    ASSERT_TRUE(r.ui.click(r.window, kLevelList)); // dropped down, closed: nothing
    EXPECT_EQ(r.take(), (std::vector<Seen>{{kLevelList, 0}}));
    EXPECT_EQ(r.ui.selection(r.window, kLevelList), 0);

    Recorded box(kSpecialDialog);
    ASSERT_TRUE(box.ui.click(box.window, special_ids::kA5Box));
    EXPECT_TRUE(box.take().empty());
    EXPECT_EQ(box.ui.window(box.window)->focus, special_ids::kA5Box);
}

// The focus starts on the first control that takes input, and stays there.
TEST(HeadlessInput, StaticAndDisabledControlsTakeNeitherInputNorFocus) {
    Recorded r(kActivationDialog);
    r.ui.setEnabled(r.window, kTerrainList, false);
    ASSERT_TRUE(r.ui.choose(r.window, kTerrainList, 1));
    ASSERT_TRUE(r.ui.click(r.window, kTerrainList));
    ASSERT_TRUE(r.ui.click(r.window, kStatus));
    EXPECT_TRUE(r.take().empty());
    EXPECT_EQ(r.ui.window(r.window)->focus, kRoll);
    EXPECT_EQ(r.ui.selection(r.window, kTerrainList), 0);
}

TEST(HeadlessInput, TypingPutsInWhatKeysTypeThenSendsOnce) {
    Recorded box(kSpecialDialog);
    // Tab, Enter, Escape and the like are keys that type nothing; the code
    // page's undefined bytes are control characters too.
    ASSERT_TRUE(box.ui.type(box.window, special_ids::kA1Box, "-1\t2\r\n3\x1b\x81\x7f\x80\xb3 x"));
    EXPECT_EQ(box.ui.text(box.window, special_ids::kA1Box), "-123\x80\xb3 x");
    ASSERT_EQ(box.take().size(), 1u);
    // And it holds what a real edit box holds.
    ASSERT_TRUE(box.ui.type(box.window, special_ids::kA1Box, std::string(kEditBoxCapacity + 5, '7')));
    EXPECT_EQ(box.ui.text(box.window, special_ids::kA1Box), std::string(kEditBoxCapacity, '7'));
    box.ui.setText(box.window, special_ids::kA5Box, std::string(kEditBoxCapacity + 1, '-'));
    EXPECT_EQ(box.ui.text(box.window, special_ids::kA5Box).size(), std::size_t(kEditBoxCapacity));
}

} // namespace
} // namespace treva
