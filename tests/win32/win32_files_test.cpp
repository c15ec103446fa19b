// The file commands on real Win32 windows (the file dialogs and questions
// through their seams), and the file association in the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "../scratch_folder.h"
#include "platform/win32/file_type_registry.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/wide_text.h"
#include "program_fixture.h"

namespace treva {
namespace {

using win32_test::Program;
using win32_test::windowText;
namespace fs = std::filesystem;

struct Files : Program, testing::ScratchFolder {};

TEST_F(Files, AFailedSaveIsToldThenSaveAsAndOpenRestoreTheScenario) {
    const fs::path file = folder / L"M\u00fchle \u2603.trv"; // any name, whatever the code page
    rollDice(app.state, 2, 6, "Two Dice");
    afterWindowMessage(app);
    const ScenarioBytes saved = encodeScenario(app.state.scenario);
    const std::wstring caption = windowText(layer.frameHandle());
    fileAnswer = (folder / L"no such folder" / L"x.trv").wstring();
    messageBoxAnswer = IDOK;
    ASSERT_TRUE(fromMenu(kCmdSaveAs));
    EXPECT_EQ(messageBoxes, (std::vector<std::wstring>{L"Save"}));
    EXPECT_EQ(windowText(layer.frameHandle()), caption);
    EXPECT_TRUE(IsWindowEnabled(layer.frameHandle())) << "the message box gave the frame back";
    fileAnswer = file.wstring();
    ASSERT_TRUE(fromMenu(kCmdSaveAs));
    ASSERT_EQ(fileDialogs.size(), 2u);
    const OPENFILENAMEW &save = fileDialogs[1].second;
    EXPECT_TRUE(fileDialogs[1].first);
    EXPECT_TRUE(save.Flags & OFN_OVERWRITEPROMPT);
    EXPECT_STREQ(save.lpstrDefExt, L"trv");
    EXPECT_EQ(std::wstring(save.lpstrFilter, 48),
              std::wstring(L"Treva Files (*.TRV)\0*.trv\0All Files (*.*)\0*.*\0\0", 48));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(windowText(layer.frameHandle()), L"TREVA! (M\u00fchle \u2603)");

    rollDice(app.state, 1, 6, "Single Die");
    afterWindowMessage(app);
    EXPECT_EQ(windowText(layer.frameHandle()).back(), L'*') << "unsaved changes";
    messageBoxAnswer = IDNO; // give them up
    ASSERT_TRUE(fromMenu(kCmdOpen));
    ASSERT_EQ(fileDialogs.size(), 3u);
    EXPECT_FALSE(fileDialogs[2].first);
    EXPECT_TRUE(fileDialogs[2].second.Flags & OFN_CREATEPROMPT) << "Open asks before creating a missing file";
    EXPECT_EQ(encodeScenario(app.state.scenario), saved);
    EXPECT_EQ(windowText(layer.frameHandle()), L"TREVA! (M\u00fchle \u2603)");
}

TEST_F(Files, ExitAsksAboutUnsavedChanges) {
    openToolWindow(app, ToolSlot::DieStats);
    rollDice(app.state, 2, 6, "Two Dice");
    afterWindowMessage(app);

    messageBoxAnswer = IDCANCEL;
    SendMessageW(layer.frameHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(messageBoxes, (std::vector<std::wstring>{L"TREVA!"}));
    EXPECT_TRUE(layer.isOpen(layer.frame())) << "Cancel keeps the program";

    fileAnswer = (folder / L"kept.trv").wstring();
    messageBoxAnswer = IDYES;
    ASSERT_TRUE(fromMenu(kCmdExit));
    EXPECT_TRUE(fs::exists(folder / L"kept.trv"));
    EXPECT_FALSE(layer.isOpen(layer.frame()));
    EXPECT_FALSE(IsWindow(layer.frameHandle()));
}

// The association start-up writes, in the test's own registry.
struct Registry : ::testing::Test {
    static std::optional<std::wstring> value(const wchar_t *key) {
        wchar_t data[1024];
        DWORD size = sizeof(data);
        const std::wstring path = std::wstring(L"Software\\Classes\\") + key;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, data, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(data);
    }
    static void removeAssociation() {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\.trv");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\trvfile");
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Classes\\.trv");
    }
    static FILETIME written(const wchar_t *key) {
        FILETIME time{};
        HKEY handle = nullptr;
        const std::wstring path = std::wstring(L"Software\\Classes\\") + key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
            RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, &time);
            RegCloseKey(handle);
        }
        return time;
    }
    void SetUp() override { removeAssociation(); }
    void TearDown() override { removeAssociation(); }
};

TEST_F(Registry, StartUpAssociatesScenarioFilesWithTheProgram) {
    Win32WindowLayer layer(GetModuleHandleW(nullptr));
    App app(layer);
    layer.onModal = [&layer](WindowId box) { SendMessageW(layer.controlHandle(box, kCommandOk), BM_CLICK, 0, 0); };
    app.registerFileType = [] { registerScenarioFileType(); };
    startUp(app, "");
    layer.closeFrame();

    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring quoted = L"\"" + std::wstring(program) + L"\"";
    EXPECT_EQ(value(L".trv"), L"trvfile");
    EXPECT_EQ(value(L"trvfile"), L"TREVA file");
    EXPECT_EQ(value(L"trvfile\\DefaultIcon"), quoted + L",1");
    EXPECT_EQ(value(L"trvfile\\shell\\open\\command"), quoted + L" \"%1\"");

    // A second start finds everything in place and writes nothing.
    const FILETIME before = written(L"trvfile\\shell\\open\\command");
    Sleep(20);
    EXPECT_EQ(registerScenarioFileType(), FileTypeResult::Written);
    const FILETIME after = written(L"trvfile\\shell\\open\\command");
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
    // A stale command is written again, and the key shows it.
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Classes\\trvfile\\shell\\open\\command", nullptr, REG_SZ, L"stale",
                    sizeof(L"stale"));
    const FILETIME stale = written(L"trvfile\\shell\\open\\command");
    Sleep(20);
    EXPECT_EQ(registerScenarioFileType(), FileTypeResult::Written);
    const FILETIME rewritten = written(L"trvfile\\shell\\open\\command");
    EXPECT_EQ(value(L"trvfile\\shell\\open\\command"), quoted + L" \"%1\"");
    EXPECT_EQ(CompareFileTime(&stale, &rewritten), -1);
}

// Explorer shows a program's first icon as its own and the association names
// icon 1: the scenario files' icon.
TEST(ProgramFile, IconOneIsTheScenarioFileIcon) {
    const char *program = std::getenv("TREVA_PROGRAM");
    ASSERT_NE(program, nullptr) << "TREVA_PROGRAM names treva.exe";
    HMODULE module = LoadLibraryExW(widenUtf8(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << program;
    std::vector<int> groups;
    EnumResourceNamesW(
        module, MAKEINTRESOURCEW(14), // RT_GROUP_ICON
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
            if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int> *>(found)->push_back(int(LOWORD(name)));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&groups));
    FreeLibrary(module);
    EXPECT_EQ(groups, (std::vector<int>{TREVA_APP_ICON, TREVA_SCENARIO_ICON}));
}

} // namespace
} // namespace treva
