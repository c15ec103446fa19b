#include "platform/guide/guide_location.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace treva {
namespace {

std::string utf8(const std::filesystem::path &path) {
    const std::u8string text = path.lexically_normal().u8string();
    return {text.begin(), text.end()};
}

#ifndef _WIN32
// What a shell runs for a bare program name: the first executable of that
// name along PATH.
std::filesystem::path searchPath(const std::filesystem::path &name) {
    if (name.empty()) return name;
    const char *path = std::getenv("PATH");
    std::string_view folders = path ? path : "";
    while (!folders.empty()) {
        const std::size_t end = std::min(folders.find(':'), folders.size());
        const std::filesystem::path candidate = std::filesystem::path(folders.substr(0, end)) / name;
        if (end > 0 && access(candidate.c_str(), X_OK) == 0) return candidate;
        folders.remove_prefix(std::min(end + 1, folders.size()));
    }
    return name;
}
#endif

} // namespace

std::filesystem::path builtGuide() { return TREVA_BUILT_GUIDE; }

std::vector<std::string> guidePlaces(const std::filesystem::path &program, const std::filesystem::path &built) {
    const std::filesystem::path folder = program.parent_path();
    // The data folder as `cmake --install` names it, beside bin/ unless it
    // was given as a path of its own.
    const std::filesystem::path data(TREVA_INSTALL_DATADIR);
    const std::filesystem::path shared = data.is_absolute() ? data : folder.parent_path() / data;
    return {
        utf8(shared / "doc" / "treva" / "guide" / "index.html"),
        utf8(folder / "guide" / "index.html"),
        utf8(built),
    };
}

std::filesystem::path runningProgram(const std::filesystem::path &invokedAs) {
#ifdef _WIN32
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return invokedAs;
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2); // cut short: a longer path
    }
#else
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return self;
    const std::filesystem::path found = invokedAs.has_parent_path() ? invokedAs : searchPath(invokedAs);
    return std::filesystem::absolute(found, error);
#endif
}

} // namespace treva
