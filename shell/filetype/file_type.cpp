// The association algorithm against the registry interface, the running
// program's path, and the start-up entry point.
#include "shell/filetype/file_type.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace treva {

bool validFileTypeExtension(const char *extension) {
    if (extension == nullptr || extension[0] != '.') {
        return false;
    }
    const size_t length = std::strlen(extension);
    return length >= 2 && length <= 4;
}

#ifdef _WIN32
std::string runningProgramPath() {
    std::wstring wide(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
        if (n == 0) {
            return {};
        }
        if (n < wide.size()) {
            wide.resize(n);
            break;
        }
        wide.resize(wide.size() * 2); // truncated: a long path
    }
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string path(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), path.data(), bytes, nullptr, nullptr);
    return path;
}
#elif defined(__linux__)
std::string runningProgramPath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            return path;
        }
        path.resize(path.size() * 2); // possibly truncated: try a larger buffer
    }
}
#else
std::string runningProgramPath() { return {}; }
#endif

FileTypeResult registerFileType(FileTypeRegistry &registry, const char *extension, const char *progId,
                                const char *description, const char *programPath, int32_t iconIndex, unsigned flags) {
    if (!validFileTypeExtension(extension)) {
        return FileTypeResult::BadExtension;
    }
    // An empty ProgID would name the class root itself.
    const std::string id =
        (progId != nullptr && progId[0] != '\0') ? std::string(progId) : std::string(extension + 1) + "file";
    const std::string program = programPath != nullptr ? std::string(programPath) : runningProgramPath();
    if (program.empty()) {
        return FileTypeResult::WriteFailed;
    }

    bool existed = false;
    if (!registry.createKey(extension, existed)) {
        return FileTypeResult::WriteFailed;
    }
    if (existed) {
        const RegistryValue current = registry.readDefault(extension);
        const bool own = current.type == RegistryValueType::String && current.text == id;
        if (own ? (flags & RewriteOwn) == 0 : (flags & ReplaceForeign) == 0) {
            return FileTypeResult::LeftAlone;
        }
    }
    if (!registry.writeDefault(extension, id)) {
        return FileTypeResult::WriteFailed;
    }

    const auto create = [&registry](const std::string &path) {
        bool ignored = false;
        return registry.createKey(path, ignored);
    };
    const auto createAndWrite = [&](const std::string &path, const std::string &value) {
        return create(path) && registry.writeDefault(path, value);
    };

    char index[24];
    std::snprintf(index, sizeof index, "%ld", static_cast<long>(iconIndex));
    const std::string quoted = "\"" + program + "\"";
    // The command quotes both the program and "%1" so that paths with blanks
    // arrive as one argument.
    const bool ok = createAndWrite(id, description != nullptr ? description : "") &&
                    createAndWrite(id + "\\DefaultIcon", quoted + "," + index) && create(id + "\\shell") &&
                    create(id + "\\shell\\open") && createAndWrite(id + "\\shell\\open\\command", quoted + " \"%1\"");
    return ok ? FileTypeResult::Written : FileTypeResult::WriteFailed;
}

FileTypeResult registerScenarioFileType() {
#ifdef _WIN32
    WindowsRegistry registry;
    const FileTypeResult result = registerFileType(registry, kScenarioExtension, kScenarioProgId, kScenarioDescription,
                                                   nullptr, kScenarioIconIndex, RewriteOwn);
    if (registry.changed()) {
        // Explorer caches icons and verbs; without this it shows the old ones.
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    }
    return result;
#elif defined(__linux__)
    return registerFileTypeFreedesktop(freedesktopPathsFromEnvironment(), FileTypeInfo{}, RewriteOwn);
#else
    return FileTypeResult::LeftAlone;
#endif
}

} // namespace treva
