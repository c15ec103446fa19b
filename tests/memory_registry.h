// The registry in memory, for the association tests: every key and its
// default value, one failure to inject, and a count of accesses.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>

#include "platform/win32/file_type_registry.h"

namespace treva {

// Key names compare without regard to ASCII case, as in the real registry.
struct RegistryKeyLess {
    bool operator()(const std::string &a, const std::string &b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    }
};

class MemoryRegistry final : public FileTypeRegistry {
public:
    using Keys = std::map<std::string, std::optional<std::string>, RegistryKeyLess>;

    bool createKey(const std::string &path, bool &existed) override {
        ++accesses;
        if (same(path, failCreateAt)) return false;
        existed = !keys.try_emplace(path).second;
        return true;
    }

    std::optional<std::string> readDefault(const std::string &path) override {
        ++accesses;
        const auto it = keys.find(path);
        return it != keys.end() ? it->second : std::nullopt;
    }

    bool writeDefault(const std::string &path, const std::string &value) override {
        ++accesses;
        const auto it = keys.find(path);
        if (it == keys.end() || same(path, failWriteAt)) return false;
        it->second = value;
        return true;
    }

    Keys keys;
    std::string failCreateAt; // createKey on this path fails
    std::string failWriteAt;  // writeDefault on this path fails
    int accesses = 0;         // calls of any kind

private:
    static bool same(const std::string &a, const std::string &b) {
        return !b.empty() && !RegistryKeyLess()(a, b) && !RegistryKeyLess()(b, a);
    }
};

} // namespace treva
