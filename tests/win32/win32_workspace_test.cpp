// Where the Windows program's tool windows open on a real frame (under Wine,
// on a 1366 x 768 display): every one in sight of the frame's menu and of
// the others' captions, arranged again on request, and back where the player
// left it after a restart, from the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/registry_settings.h"
#include "platform/win32/win32_window_layer.h"
#include "resources/dialogs.h"
#include "resources/menu.h"
#include "ui/app.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

namespace treva {
namespace {

const int kToolCommands[] = {kCmdActivation, kCmdActions,     kCmdAdvance,  kCmdRandomTables,
                             kCmdDieStats,   kCmdRollHistory, kCmdDiceChart};

// One run of the program, its places kept in `store`.
struct ProgramRun {
    explicit ProgramRun(SettingsStore *store) {
        layer.keepPlacesIn(store);
        layer.onCommand = [this](int command) { frameCommand(app, command); };
        resetScenario(app.state, 1);
        noteScenarioSaved(app);
        layer.show();
    }
    ~ProgramRun() { exit(); }
    void exit() {
        layer.closeFrame();
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);)
            if (m.message != WM_QUIT) layer.handleMessage(m);
    }
    // The tool window a menu command opened, as the menu sends it.
    HWND open(int command) {
        SendMessageW(layer.frameHandle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return GetActiveWindow();
    }

    Win32WindowLayer layer{GetModuleHandleW(nullptr)};
    App app{layer};
};

RECT outer(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

long hiddenArea(const RECT &a, const RECT &b) {
    RECT both{};
    return IntersectRect(&both, &a, &b) ? (both.right - both.left) * (both.bottom - both.top) : 0;
}

// A registry key of the test's own, gone afterwards.
struct TestKey : ::testing::Test {
    const std::wstring root = L"Software\\TREVA tests\\" + std::to_wstring(GetCurrentProcessId());
    RegistrySettingsStore store{root};
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str()); }
};

using Win32Workspace = TestKey;

TEST_F(Win32Workspace, EveryToolWindowLeavesTheMenuAndMostOfEachCaptionInSight) {
    ProgramRun run(nullptr);
    MENUBARINFO menu{};
    menu.cbSize = sizeof menu;
    ASSERT_TRUE(GetMenuBarInfo(run.layer.frameHandle(), OBJID_MENU, 0, &menu));
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    std::vector<RECT> opened;
    for (const int command : kToolCommands) {
        const HWND window = run.open(command);
        ASSERT_NE(window, run.layer.frameHandle()) << command;
        const RECT placed = outer(window);
        EXPECT_EQ(hiddenArea(placed, menu.rcBar), 0) << command << " covers the frame's menu";
        for (const RECT &earlier : opened) {
            const RECT title{earlier.left, earlier.top, earlier.right, earlier.top + caption};
            EXPECT_LE(hiddenArea(placed, title) * 2, (title.right - title.left) * caption) << command;
        }
        opened.push_back(placed);
    }
}

TEST_F(Win32Workspace, ArrangeWindowsSpreadsWindowsLyingOnOneAnother) {
    ProgramRun run(nullptr);
    const HWND advance = run.open(kCmdAdvance), stats = run.open(kCmdDieStats);
    const RECT at = outer(advance);
    SetWindowPos(stats, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_GT(hiddenArea(outer(advance), outer(stats)), 0);
    SendMessageW(run.layer.frameHandle(), WM_COMMAND, MAKEWPARAM(kCmdArrangeWindows, 0), 0);
    EXPECT_EQ(hiddenArea(outer(advance), outer(stats)), 0);
}

TEST_F(Win32Workspace, AWindowMovedByThePlayerComesBackThereAfterARestart) {
    POINT left{};
    {
        ProgramRun first(&store);
        const HWND activation = first.open(kCmdActivation);
        const RECT opened = outer(activation);
        left = {opened.left + 200, opened.top + 40};
        SetWindowPos(activation, nullptr, left.x, left.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        first.exit(); // with the window open
    }
    ProgramRun second(&store);
    const RECT back = outer(second.open(kCmdActivation));
    EXPECT_EQ(back.left, left.x);
    EXPECT_EQ(back.top, left.y);
    EXPECT_TRUE(store.read("windows/1366x768+0+0/" + std::to_string(kActivationDialog)));
}

} // namespace
} // namespace treva
