#pragma once

#include <QString>

// The per-user settings store: text values by section and key, kept in
// $XDG_CONFIG_HOME/Torvik/Torvik.ini. An absent key reads as empty text.
// Writing and removing answer false when the file could not be written (a
// settings folder the user may not write to, a file where the folder should
// be); the change is then lost when the program ends. A file that holds lines
// it cannot read is no failure as long as the value reaches it.
class SettingsStore {
public:
    QString read(const QString& section, const QString& key) const;
    bool write(const QString& section, const QString& key, const QString& value);
    bool remove(const QString& section, const QString& key);
    // The file the values are kept in, for telling the operator where.
    QString location() const;

private:
    static bool fileHolds(const QString& fileName, const QString& entry, const QString& value);
};
