// The program on real Win32 windows, for the tests under Wine: the frame
// with its commands going to the frame logic, and the modal boxes, the
// questions and the file dialogs answered through the layer's seams.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_window_layer.h"
#include "resources/menu.h"
#include "state/program_state.h"
#include "ui/app.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

namespace treva::win32_test {

inline std::wstring windowText(HWND hwnd) {
    wchar_t text[512] = L"";
    GetWindowTextW(hwnd, text, 512);
    return text;
}

// Handles what is queued, as the message loop would.
inline void pump(Win32WindowLayer &layer) {
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);)
        if (m.message != WM_QUIT) layer.handleMessage(m);
}

struct Program : ::testing::Test {
    Win32WindowLayer layer{GetModuleHandleW(nullptr)};
    App app{layer};
    std::vector<int> boxes;                     // templates of the modal boxes, as they opened
    std::function<void(WindowId box)> inTheBox; // what the player does there; OK by default
    std::vector<std::wstring> messageBoxes;     // captions of question and message boxes
    int messageBoxAnswer = IDCANCEL;
    std::vector<std::pair<bool, OPENFILENAMEW>> fileDialogs;
    std::optional<std::wstring> fileAnswer; // what the file dialog returns; nothing: cancelled

    void SetUp() override {
        layer.onCommand = [this](int command) { frameCommand(app, command); };
        layer.onModal = [this](WindowId box) {
            boxes.push_back(layer.templateOf(box));
            if (inTheBox)
                inTheBox(box);
            else
                click(box, kCommandOk);
        };
        layer.onMessageBox = [this](HWND box) {
            messageBoxes.push_back(windowText(box));
            PostMessageW(box, TDM_CLICK_BUTTON, static_cast<WPARAM>(messageBoxAnswer), 0);
        };
        layer.fileDialog = [this](OPENFILENAMEW &dialog, bool save) {
            fileDialogs.emplace_back(save, dialog);
            if (!fileAnswer) return false;
            lstrcpynW(dialog.lpstrFile, fileAnswer->c_str(), static_cast<int>(dialog.nMaxFile));
            return true;
        };
        resetScenario(app.state, 1);
        noteScenarioSaved(app);
        layer.show();
    }
    void TearDown() override {
        layer.closeFrame();
        pump(layer);
    }

    HWND control(WindowId window, int id) const { return layer.controlHandle(window, id); }
    // A click on a button, as the button reports it.
    void click(WindowId window, int id) const {
        HWND button = control(window, id);
        ASSERT_NE(button, nullptr) << "no control " << id;
        SendMessageW(button, BM_CLICK, 0, 0);
    }
    // The menu item of `command`, as the menu sends it; false when grayed or missing.
    bool fromMenu(int command) {
        const UINT state = GetMenuState(layer.menu(), static_cast<UINT>(command), MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1) || (state & MF_GRAYED)) return false;
        SendMessageW(layer.frameHandle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return true;
    }
    bool menuEnabled(int command) const {
        return !(GetMenuState(layer.menu(), static_cast<UINT>(command), MF_BYCOMMAND) & MF_GRAYED);
    }
    // A mouse click on a toolbar button, as the strip takes it.
    void fromStrip(int command) {
        HWND strip = layer.toolbar();
        const LRESULT index = SendMessageW(strip, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0);
        ASSERT_GE(index, 0) << "no button for " << command;
        RECT r{};
        SendMessageW(strip, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(strip, WM_LBUTTONUP, 0, at);
    }
    WindowId activeToolWindow() const { return layer.windowOf(GetActiveWindow()); }
    // Keys pressed in turn and let go in reverse ({VK_CONTROL, 'H'}), as the
    // keyboard gives them; the loop runs until `done`, or for a while.
    void press(std::initializer_list<WORD> keys, const std::function<bool()> &done) {
        std::vector<INPUT> input;
        for (const WORD key : keys) input.push_back({INPUT_KEYBOARD, {.ki = {key, 0, 0, 0, 0}}});
        for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
            input.push_back({INPUT_KEYBOARD, {.ki = {*key, 0, KEYEVENTF_KEYUP, 0, 0}}});
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
        for (int i = 0; i < 10 && !done(); ++i) {
            pump(layer);
            Sleep(20);
        }
    }
};

} // namespace treva::win32_test
