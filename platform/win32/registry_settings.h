// Where the Windows program keeps what it remembers between runs (the places
// of the tool windows): the registry, under HKEY_CURRENT_USER\Software\TREVA.
#pragma once

#include "ui/placement.h"

namespace treva {

class RegistrySettingsStore : public SettingsStore {
public:
    // `root` below HKEY_CURRENT_USER; a test gives its own.
    explicit RegistrySettingsStore(std::wstring root = L"Software\\TREVA") : root_(std::move(root)) {}

    // "windows/LAYOUT/ID" is the value ID of the key ...\Windows\LAYOUT.
    std::optional<std::string> read(const std::string &key) const override;
    // A registry that refuses the write costs the place, nothing more.
    void write(const std::string &key, const std::string &value) override;

private:
    std::wstring root_;
};

} // namespace treva
