// The registry in memory: what the tests register into and look at.
#include <algorithm>
#include <cctype>

#include "shell/filetype/file_type.h"

namespace treva {

bool RegistryKeyLess::operator()(const std::string &a, const std::string &b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

namespace {
bool sameKey(const std::string &a, const std::string &b) {
    const RegistryKeyLess less;
    return !less(a, b) && !less(b, a);
}
} // namespace

bool MemoryRegistry::createKey(const std::string &path, bool &existed) {
    ++accesses;
    if (!failCreateAt.empty() && sameKey(path, failCreateAt)) {
        return false;
    }
    existed = !keys.try_emplace(path).second;
    return true;
}

RegistryValue MemoryRegistry::readDefault(const std::string &path) {
    ++accesses;
    const auto it = keys.find(path);
    return it != keys.end() ? it->second : RegistryValue{};
}

bool MemoryRegistry::writeDefault(const std::string &path, const std::string &value) {
    ++accesses;
    const auto it = keys.find(path);
    if (it == keys.end() || (!failWriteAt.empty() && sameKey(path, failWriteAt))) {
        return false;
    }
    it->second = RegistryValue{RegistryValueType::String, value};
    ++writes;
    return true;
}

} // namespace treva
