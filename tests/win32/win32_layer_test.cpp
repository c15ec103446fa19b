// The program on real Win32 windows (under Wine in the tests): start-up, the
// frame's menu and strip, the stacking of the windows, their pictures, the
// dialog keys, the list boxes, charts and clipboard.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/guide/guide_location.h"
#include "platform/win32/bar_chart.h"
#include "platform/win32/screenshots.h"
#include "platform/win32/win32_window_layer.h"
#include "program_fixture.h"
#include "resources/dialogs.h"
#include "resources/ids/activation.h"
#include "resources/ids/dice_chart.h"
#include "resources/ids/roll_history.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "resources/tab_order.h"
#include "state/roll_history.h"
#include "ui/app.h"
#include "ui/frame.h"

namespace treva {
namespace {

namespace fs = std::filesystem;

using win32_test::Program;
using win32_test::pump;
using win32_test::windowText;

TEST_F(Program, StartUpShowsAboutNoticeAndSetupThenTheActivationWindow) {
    startUp(app, "");
    EXPECT_EQ(boxes, (std::vector<int>{kAboutDialog, kNoticeDialog, kSetupDialog}));
    const WindowId activation = activeToolWindow();
    EXPECT_EQ(layer.templateOf(activation), kActivationDialog);
    EXPECT_EQ(windowText(layer.handle(activation)), L"Activation");
    EXPECT_TRUE(IsWindowEnabled(layer.frameHandle())) << "every box has given the frame back";
    EXPECT_EQ(windowText(layer.frameHandle()), L"TREVA! A VENK Assistant [Untitled]");
    EXPECT_TRUE(menuEnabled(kCmdSave));
    EXPECT_FALSE(menuEnabled(kCmdSaveAs));
    EXPECT_FALSE(menuEnabled(kCmdScenario));
}

// Whether `upper` is in front of `lower` in the window system's own stacking
// order of the top-level windows.
bool inFront(HWND upper, HWND lower) {
    for (HWND below = GetWindow(upper, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
        if (below == lower) return true;
    return false;
}

TEST_F(Program, EveryToolWindowOpensOnceAndComesInFrontWhenAskedForAgain) {
    const struct {
        int command, templateId;
        const wchar_t *title;
    } tools[] = {{kCmdActivation, kActivationDialog, L"Activation"},
                 {kCmdSetup, kSetupDialog, L"Setup Options"},
                 {kCmdActions, kActionsDialog, L"Actions"},
                 {kCmdDieStats, kDieStatsDialog, L"Die Stats"},
                 {kCmdAdvance, kAdvanceDialog, L"Advance"},
                 {kCmdRandomTables, kRandomTablesDialog, L"Random Number Tables"},
                 {kCmdRollHistory, kRollHistoryDialog, L"Roll History"},
                 {kCmdDiceChart, kDiceChartDialog, L"Dice Chart"}};
    HWND covered = nullptr;
    int coveredCommand = 0;
    for (const auto &t : tools) {
        SCOPED_TRACE(t.command);
        ASSERT_TRUE(fromMenu(t.command));
        const HWND opened = layer.handle(activeToolWindow());
        EXPECT_EQ(layer.templateOf(layer.windowOf(opened)), t.templateId);
        EXPECT_EQ(windowText(opened), t.title);
        if (covered) {
            // The window opened before, under this one, asked for again from
            // the strip, or from the menu where the strip has no button: the
            // same window, active and in front as the command returns (Wine
            // on its own restacks it only later, if at all). This one is laid
            // over it first: it opened in free room.
            RECT a{};
            GetWindowRect(covered, &a);
            SetWindowPos(opened, nullptr, a.left + 20, a.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ASSERT_TRUE(inFront(opened, covered));
            SetActiveWindow(layer.frameHandle());
            if (SendMessageW(layer.toolbar(), TB_COMMANDTOINDEX, static_cast<WPARAM>(coveredCommand), 0) >= 0)
                fromStrip(coveredCommand);
            else
                ASSERT_TRUE(fromMenu(coveredCommand));
            EXPECT_TRUE(inFront(covered, opened));
            EXPECT_EQ(GetActiveWindow(), covered);
            EXPECT_EQ(GetForegroundWindow(), covered);
        }
        covered = opened;
        coveredCommand = t.command;
    }
    // The About button of the strip shows both boxes.
    fromStrip(kCmdAbout);
    EXPECT_EQ(boxes, (std::vector<int>{kAboutDialog, kNoticeDialog}));
}

// The guide's pictures show a window's client area, and the frame's menu
// bar: none of the caption, whose buttons Wine draws as letters ("0 1 r")
// where it lacks their font.
TEST_F(Program, APictureShowsAWindowWithoutItsCaption) {
    const HWND history = layer.handle(openToolWindow(app, ToolSlot::RollHistory));
    for (const HWND window : {layer.frameHandle(), history}) {
        const bool frame = window == layer.frameHandle();
        SCOPED_TRACE(frame ? "frame" : "Roll History");
        UINT width = 0, height = 0;
        const std::vector<BYTE> picture = windowPicture(window, width, height);
        ASSERT_EQ(picture.size(), std::size_t(width) * height * 4);
        // From the top of the menu bar, if any, to the bottom of the client area.
        RECT client{};
        GetClientRect(window, &client);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&client), 2);
        MENUBARINFO bar{};
        bar.cbSize = sizeof(bar);
        ASSERT_EQ(GetMenuBarInfo(window, OBJID_MENU, 0, &bar) != FALSE, frame);
        EXPECT_EQ(width, UINT(client.right - client.left));
        EXPECT_EQ(height, UINT(client.bottom - (frame ? bar.rcBar.top : client.top)));
        // The top corners, where the caption's ends were, in the menu's or the window's own colour.
        const COLORREF face = GetSysColor(frame ? COLOR_MENU : COLOR_BTNFACE);
        for (const UINT x : {1u, width - 2}) {
            const BYTE *bgrx = &picture[(std::size_t(width) + x) * 4];
            EXPECT_EQ(RGB(bgrx[2], bgrx[1], bgrx[0]), face) << x;
        }
    }
}

TEST_F(Program, TabFollowsTheReadingOrderStopsOnceInARadioGroupAndEscapeEndsBoxesAndOurWindows) {
    // Every button of this window takes the focus.
    const WindowId tables = openToolWindow(app, ToolSlot::RandomTables);
    const DialogTemplate &dialog = *findDialogTemplate(kRandomTablesDialog);
    const std::vector<std::size_t> order = tabOrder(dialog);
    SetFocus(control(tables, dialog.controls[order[0]].id));
    for (std::size_t n = 1; n <= order.size(); ++n) {
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        layer.handleMessage(tab);
        EXPECT_EQ(GetFocus(), control(tables, dialog.controls[order[n % order.size()]].id)) << n;
    }
    for (const UINT key : {VK_ESCAPE, VK_RETURN}) {
        MSG press{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        layer.handleMessage(press);
        pump(layer);
    }
    EXPECT_TRUE(layer.isOpen(tables)) << "Escape and Enter leave a tool window open";
    EXPECT_EQ(app.state.scenario.stats.oneDieRolls, 0) << "Enter pressed no button";
    // The tool windows of ours close on Escape, as their close box does.
    for (const ToolSlot slot : {ToolSlot::RollHistory, ToolSlot::DiceChart}) {
        const WindowId ours = openToolWindow(app, slot);
        MSG escape{layer.handle(ours), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
        layer.handleMessage(escape);
        pump(layer);
        EXPECT_FALSE(layer.isOpen(ours)) << int(slot);
    }
    const WindowId actions = openToolWindow(app, ToolSlot::Actions);

    // A radio group is one stop, at its checked button; in a box, Escape is Cancel.
    const WindowId setup = openToolWindow(app, ToolSlot::Setup);
    click(setup, setup_ids::kAc5);
    for (int id : {setup_ids::kAc2, setup_ids::kAc3, setup_ids::kAc4, setup_ids::kAc5})
        EXPECT_EQ((GetWindowLongPtrW(control(setup, id), GWL_STYLE) & WS_TABSTOP) != 0, id == setup_ids::kAc5) << id;
    inTheBox = [](WindowId) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); };
    click(setup, setup_ids::kSpecialButton);
    EXPECT_EQ(boxes, (std::vector<int>{kSpecialDialog}));
    EXPECT_TRUE(layer.isOpen(setup));
    EXPECT_TRUE(IsWindowEnabled(layer.handle(actions))) << "the box gave the other windows back";
}

// A script that stops while a box is up (treva --drive) leaves the box's
// loop: the box stays up and keeps the input, and the window behind it goes on.
TEST_F(Program, ABoxWhoseLoopIsLeftStaysUpWhileItsOpenerGoesOn) {
    const WindowId setup = openToolWindow(app, ToolSlot::Setup);
    WindowId special = kNoWindow;
    inTheBox = [&](WindowId box) {
        special = box;
        layer.leaveModalLoop(box);
    };
    click(setup, setup_ids::kSpecialButton); // returns only once the loop is left
    ASSERT_TRUE(layer.isOpen(special));
    EXPECT_TRUE(IsWindowVisible(layer.handle(special)));
    EXPECT_FALSE(IsWindowEnabled(layer.handle(setup))) << "the box keeps the input";
    click(special, kCommandOk);
    EXPECT_FALSE(layer.isOpen(special));
    EXPECT_TRUE(IsWindowEnabled(layer.handle(setup)));
}

TEST_F(Program, CtrlHAndAltORunTheirCommandsFromToolWindowsAndTheMenuShowsThem) {
    std::vector<int> commands;
    layer.onCommand = [this, &commands](int command) {
        commands.push_back(command);
        frameCommand(app, command);
    };
    const WindowId actions = openToolWindow(app, ToolSlot::Actions);
    ASSERT_EQ(GetForegroundWindow(), layer.handle(actions));
    press({VK_CONTROL, 'H'}, [&commands] { return !commands.empty(); });
    EXPECT_EQ(commands, (std::vector<int>{kCmdRollHistory}));
    wchar_t item[64] = L"";
    GetMenuStringW(layer.menu(), kCmdRollHistory, item, 64, MF_BYCOMMAND);
    EXPECT_STREQ(item, L"Roll &History...\tCtrl+H");
    press({VK_MENU, 'O'}, [this] { return !fileDialogs.empty(); });
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_FALSE(fileDialogs[0].first) << "the open dialog";
}

// The guide where the installer and the zip put it, beside the program,
// from F1 in a tool window and from Help > TREVA Guide.
TEST_F(Program, F1AndHelpGuideOpenTheGuideBesideTheProgram) {
    const fs::path program = runningProgram(L"treva_win32_tests.exe");
    const fs::path guide = (program.parent_path() / L"guide" / L"index.html").lexically_normal();
    struct Cleanup {
        fs::path folder;
        ~Cleanup() { fs::remove_all(folder); }
    } cleanup{guide.parent_path()};
    fs::create_directories(guide.parent_path());
    std::ofstream(guide) << "<html></html>";
    app.guidePlaces = guidePlaces(program, fs::temp_directory_path() / L"treva-no-build" / L"index.html");
    std::vector<std::wstring> opened;
    layer.shellOpen = [&opened](const std::wstring &path) {
        opened.push_back(path);
        return true;
    };

    const WindowId actions = openToolWindow(app, ToolSlot::Actions);
    ASSERT_EQ(GetForegroundWindow(), layer.handle(actions));
    press({VK_F1}, [&opened] { return !opened.empty(); });
    EXPECT_EQ(opened, std::vector<std::wstring>{guide.wstring()});
    ASSERT_TRUE(fromMenu(kCmdGuide));
    EXPECT_EQ(opened, std::vector<std::wstring>(2, guide.wstring()));
    wchar_t item[64] = L"";
    GetMenuStringW(layer.menu(), kCmdGuide, item, 64, MF_BYCOMMAND);
    EXPECT_STREQ(item, L"TREVA &Guide\tF1");
}

TEST_F(Program, ClickingAToolWindowRemembersTheWindowToReturnTo) {
    const WindowId activation = openToolWindow(app, ToolSlot::Activation);
    const WindowId actions = openToolWindow(app, ToolSlot::Actions);
    ASSERT_EQ(activeToolWindow(), actions);
    // Activation by a click: the window system reports it so.
    SendMessageW(layer.handle(activation), WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 0),
                 reinterpret_cast<LPARAM>(layer.handle(actions)));
    EXPECT_EQ(app.frame.returnWindow, actions);
    SendMessageW(layer.handle(actions), WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0),
                 reinterpret_cast<LPARAM>(layer.handle(activation)));
    EXPECT_EQ(app.frame.returnWindow, actions) << "only a click counts";
    SetActiveWindow(layer.handle(activation));
    SendMessageW(layer.handle(activation), WM_CLOSE, 0, 0);
    EXPECT_FALSE(layer.isOpen(activation));
    EXPECT_EQ(activeToolWindow(), actions) << "closing goes back to the window it was clicked from";
}

// The Roll History and Dice Chart windows' controls, in windows whose
// procedures do nothing: the layer alone shows what it is given.
struct Controls : Program {
    WindowId history = kNoWindow;
    HWND list = nullptr;
    void SetUp() override {
        Program::SetUp();
        history =
            layer.createModeless(kRollHistoryDialog, layer.frame(), [](WindowId, const Message &) { return false; });
        list = control(history, roll_history_ids::kRows);
        ASSERT_NE(list, nullptr);
    }
    void setRows(int count, std::function<std::string(int)> row) {
        layer.setRows(history, roll_history_ids::kRows, count, std::move(row));
    }
    // Row `index` as the list shows it, asked of the list itself.
    std::wstring row(int index) const {
        wchar_t text[256] = L"";
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return text;
    }
    int topRow() const { return static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0)); }
};

TEST_F(Controls, AListShowsTheRowsOfItsLatestFunctionInAFixedWidthFont) {
    setRows(3, [](int i) { return "roll " + std::to_string(i) + " \x80"; });
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(row(2), L"roll 2 \u20ac") << "code page 1252";
    setRows(2, [](int i) { return "then " + std::to_string(i); });
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(row(1), L"then 1");

    HDC dc = GetDC(list);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    EXPECT_FALSE(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) << "the bit is set for a font of varying width";
}

TEST_F(Controls, AHundredThousandRowsAskOnlyForTheRowsShown) {
    int asked = 0;
    setRows(100000, [&asked](int i) {
        ++asked;
        return std::to_string(i);
    });
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(asked, 0) << "the rows in view are asked for as the list paints";
    EXPECT_LT(asked, 1000);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 100000);
}

TEST_F(Controls, SelectedRowsReadAscendingAndNewRowsStartUnselectedAtTheTop) {
    setRows(200, [](int i) { return std::to_string(i); });
    for (const int index : {50, 2, 7}) {
        LVITEMW selected{};
        selected.stateMask = selected.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&selected));
    }
    EXPECT_EQ(layer.selectedRows(history, roll_history_ids::kRows), (std::vector<int>{2, 7, 50}));
    SendMessageW(list, LVM_ENSUREVISIBLE, 199, FALSE);
    ASSERT_GT(topRow(), 0);
    setRows(200, [](int i) { return std::to_string(i); });
    EXPECT_TRUE(layer.selectedRows(history, roll_history_ids::kRows).empty());
    EXPECT_EQ(topRow(), 0);
}

// The widest row the history shows: a DR, the longest month and attitude,
// not counted; it is further down than the list first shows.
TEST_F(Controls, TheColumnFitsTheWidestRowAtEveryScale) {
    const std::string widest = historyRow({.time = "2024-11-15 20:40:00",
                                           .purpose = "CC Pairings dr",
                                           .kind = RollKind::TwoDice,
                                           .dice = {4, 3},
                                           .counted = false,
                                           .pick = "",
                                           .yearIndex = 8,
                                           .month = 9,
                                           .attitude = 1});
    ASSERT_NE(widest.find("September 1943, Advance  (not counted)"), std::string::npos);
    setRows(200, [&widest](int i) { return i == 150 ? widest : std::string("2024-11-15 20:40:00  Single Die  4"); });
    SendMessageW(list, LVM_ENSUREVISIBLE, 150, FALSE);
    RECT outer{};
    GetWindowRect(layer.handle(history), &outer);
    ASSERT_EQ(GetDpiForWindow(list), 96u);
    for (const UINT dpi : {96u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        if (dpi != 96) // the row came into view at 96; at the other scales the font is another
            SendMessageW(layer.handle(history), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        pump(layer);
        const LRESULT column = SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0);
        RECT client{};
        GetClientRect(list, &client);
        EXPECT_GT(column, client.right) << "wider than the window";
        EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL) << "the list scrolls sideways to the row's end";
        // What the list itself takes to show every row whole.
        SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
        EXPECT_GE(column, SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    }
}

// A chart's client area as it paints itself.
struct Painted {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    int inColumn(int x, COLORREF colour) const {
        int n = 0;
        for (int y = 0; y < height; ++y) n += at(x, y) == colour;
        return n;
    }
    int everywhere(COLORREF colour) const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour)); }
};

Painted paint(HWND window) {
    Painted p;
    RECT client{};
    GetClientRect(window, &client);
    p.width = client.right;
    p.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto *bgrx = static_cast<const uint32_t *>(bits);
    for (int i = 0; i < p.width * p.height; ++i)
        p.pixels.push_back(RGB((bgrx[i] >> 16) & 0xFF, (bgrx[i] >> 8) & 0xFF, bgrx[i] & 0xFF));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return p;
}

TEST_F(Controls, AChartDrawsBarsToTheirCountsAndMarksTheExpected) {
    const WindowId window =
        layer.createModeless(kDiceChartDialog, layer.frame(), [](WindowId, const Message &) { return false; });
    const int id = dice_chart_ids::kOneDieChart;
    HWND chart = control(window, id);
    ASSERT_NE(chart, nullptr);
    layer.setChart(window, id, {{"1", 1, 0.5}, {"2", 4, 2.0}, {"3", 0, 3.0}});

    const COLORREF bar = GetSysColor(COLOR_HIGHLIGHT), ink = GetSysColor(COLOR_WINDOWTEXT);
    const Painted shown = paint(chart);
    // Across a bar's slot at `sixteenths` of its width: the bar spans 4 to
    // 12, the mark 2 to 14, the texts (a digit or two) the middle only.
    const auto across = [&](int slot, int sixteenths) { return shown.width * (16 * slot + sixteenths) / 48; };
    EXPECT_GT(shown.inColumn(across(0, 8), bar), 0);
    EXPECT_GT(shown.inColumn(across(1, 8), bar), 3 * shown.inColumn(across(0, 8), bar)) << "four times the count";
    EXPECT_EQ(shown.inColumn(across(2, 8), bar), 0) << "nothing rolled";
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_GT(shown.inColumn(across(slot, 3), ink), 0) << "what fair dice would have given, in black: " << slot;

    layer.setChart(window, id, {{"1", 0, 0}, {"2", 0, 0}, {"3", 0, 0}});
    const Painted nothing = paint(chart);
    EXPECT_EQ(nothing.everywhere(bar), 0);
    for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(nothing.inColumn(across(slot, 3), ink), 0) << "no mark";
    EXPECT_NE(nothing.everywhere(GetSysColor(COLOR_WINDOW)), nothing.width * nothing.height) << "the labels";
}

TEST_F(Program, CopiedTextReachesTheClipboardAsUtf16) {
    layer.copyText("M\xc3\xbchle \xe2\x98\x83\r6");
    ASSERT_TRUE(OpenClipboard(nullptr));
    std::wstring copied;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        copied = static_cast<const wchar_t *>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    EXPECT_EQ(copied, L"M\u00fchle \u2603\r\n6") << "the program's line break as the clipboard's";
}

} // namespace
} // namespace treva

int main(int argc, char **argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    CoUninitialize();
    return status;
}
