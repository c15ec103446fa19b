// Where the desktop program keeps what it remembers between runs (the places
// of the tool windows): Qt's own place for settings, the user's
// ~/.config/TREVA/TREVA.conf on Linux.
#pragma once

#include <QSettings>

#include "ui/placement.h"

namespace treva {

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore() : settings_(QStringLiteral("TREVA"), QStringLiteral("TREVA")) {}
    // A store in `file` (an INI file), for a test's own settings.
    explicit QtSettingsStore(const QString &file) : settings_(file, QSettings::IniFormat) {}

    std::optional<std::string> read(const std::string &key) const override {
        const QVariant value = settings_.value(QString::fromStdString(key));
        if (!value.isValid()) return std::nullopt;
        return value.toString().toStdString();
    }
    void write(const std::string &key, const std::string &value) override {
        settings_.setValue(QString::fromStdString(key), QString::fromStdString(value));
    }

private:
    QSettings settings_;
};

} // namespace treva
