#pragma once

#include <QString>

// The per-user settings store: text values by section and key, kept in
// $XDG_CONFIG_HOME/Torvik/Torvik.ini. An absent key reads as empty text.
class SettingsStore {
public:
    QString read(const QString& section, const QString& key) const;
    void write(const QString& section, const QString& key, const QString& value);
    void remove(const QString& section, const QString& key);
};
