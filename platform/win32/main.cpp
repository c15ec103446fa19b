// The desktop program on Windows: the frame and its windows on the Win32
// interface.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "platform/guide/guide_location.h"
#include "platform/win32/file_type_registry.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/screenshots.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_drive.h"
#include "platform/win32/win32_window_layer.h"
#include "resources/menu.h"
#include "ui/app.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

static_assert(TREVA_APP_ICON == treva::kAppIcon && TREVA_SCENARIO_ICON == treva::kScenarioFileIcon,
              "the resource script numbers the icons as the program does");

namespace {

// What follows the program's own name on the command line, without the
// blanks around it: quoted or not, the name ends where Windows ends it.
std::wstring_view afterProgramName(std::wstring_view line) {
    std::size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        i = line.find(L'"', 1);
        i = i == std::wstring_view::npos ? line.size() : i + 1;
    }
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    line.remove_prefix(i);
    // Windows drops trailing blanks from file names, so none is part of one.
    while (!line.empty() && (line.back() == L' ' || line.back() == L'\t')) line.remove_suffix(1);
    return line;
}

// A program without a console of its own writes to the one it was started
// from, if any.
void useParentConsole() {
    if (GetStdHandle(STD_ERROR_HANDLE) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::FILE *ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    freopen_s(&ignored, "CONOUT$", "w", stderr);
}

// The arguments after --drive, split as the C runtime splits treva-cli's
// command line, in UTF-8 as treva-cli takes them.
std::vector<std::string> driveArguments() {
    std::vector<std::string> args;
    bool after = false;
    for (int i = 1; i < __argc; ++i) {
        if (after)
            args.push_back(treva::narrowUtf8(__wargv[i]));
        else
            after = std::wcscmp(__wargv[i], L"--drive") == 0;
    }
    return args;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::wstring_view arguments = afterProgramName(GetCommandLineW());
    const wchar_t *screenshotFolder = nullptr;
    std::vector<std::wstring> options;
    if (arguments.rfind(L"--", 0) == 0) {
        int count = 0;
        if (wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
            options.assign(argv + 1, argv + count);
            LocalFree(argv);
        }
        for (std::size_t i = 0; i < options.size(); ++i) {
            const std::wstring &option = options[i];
            if (option == L"--help") {
                useParentConsole();
                std::printf("Usage: treva [SCENARIO.trv]\n"
                            "       treva --screenshots DIR   write a picture of every window into DIR\n"
                            "       treva --drive [--scenario FILE] [--seed N] TEMPLATE TOKEN...\n"
                            "                                 treva-cli's drive on the real windows, on a\n"
                            "                                 desktop nobody sees (see treva-cli --help)\n"
                            "       treva --drive-batch       drives read from standard input, one after\n"
                            "                                 another (for tests; see the README)\n");
                return 0;
            }
            if (option == L"--drive") {
                useParentConsole();
                return treva::runDesktopDrive(instance, driveArguments());
            }
            if (option == L"--drive-batch") {
                useParentConsole();
                return treva::runDesktopDriveBatch(instance);
            }
            if (option == L"--screenshots" && i + 1 < options.size()) {
                screenshotFolder = options[++i].c_str();
            } else {
                useParentConsole();
                std::fprintf(stderr, "treva: unknown option %ls (see treva --help)\n", option.c_str());
                return 2;
            }
        }
    }

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 1;
    int status = 0;
    {
        treva::RegistrySettingsStore settings; // where the player keeps the tool windows
        treva::Win32WindowLayer layer(instance);
        treva::App app(layer);
        app.builtWith = "for Windows";
        layer.onCommand = [&app](int command) { treva::frameCommand(app, command); };
        if (screenshotFolder) {
            useParentConsole();
            status = treva::takeScreenshots(layer, app, screenshotFolder);
        } else {
            // The desktop session ends (log-off, shut-down): nothing is saved
            // without asking; the program asks as Exit does, and Cancel or a
            // failed save asks the session to go on.
            layer.onEndSession = [&app] { return treva::settleUnsavedChanges(app); };
            // Scenario files open TREVA from Explorer; the outcome changes nothing here.
            app.registerFileType = [] { treva::registerScenarioFileType(); };
            app.guidePlaces = treva::guidePlaces(treva::runningProgram(L"treva.exe"));
            layer.keepPlacesIn(&settings);
            layer.show();
            // The whole rest of the line is one path, as Explorer passes it.
            const std::string path = treva::narrowUtf8(arguments);
            const char *const argv[] = {"treva", path.c_str()};
            treva::startUp(app, treva::commandLinePath(path.empty() ? 1 : 2, argv));
            status = layer.isOpen(layer.frame()) ? layer.run() : 0;
        }
    }
    CoUninitialize();
    return status;
}
