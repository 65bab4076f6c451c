#include "settingsstore.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

namespace {
QSettings openStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Torvik"),
                     QStringLiteral("Torvik"));
}

QString entryName(const QString& section, const QString& key) {
    return section + '/' + key;
}
} // namespace

QString SettingsStore::read(const QString& section, const QString& key) const {
    const QVariant value = openStore().value(entryName(section, key));
    // An INI value with an unquoted comma reads back as a list; the operator
    // meant the text as written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

bool SettingsStore::write(const QString& section, const QString& key, const QString& value) {
    QSettings store = openStore();
    store.setValue(entryName(section, key), value);
    // sync() writes the file at once; only then does status() tell whether
    // it could be written.
    store.sync();
    if (store.status() == QSettings::NoError)
        return true;
    // A file with lines it cannot read (garbage, say) gives a format error
    // even when the value was written, and that error then hides a failed
    // write: the file itself decides.
    return fileHolds(store.fileName(), entryName(section, key), value);
}

// Read from a copy of the file: settings of one file share what they have
// read within the program, so the file itself would not be read again, and
// a value that failed to reach it would still be found.
bool SettingsStore::fileHolds(const QString& fileName, const QString& entry, const QString& value) {
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("copy.ini"));
    if (!folder.isValid() || !QFile::copy(fileName, copy))
        return false;
    const QVariant stored = QSettings(copy, QSettings::IniFormat).value(entry);
    const QString text = stored.typeId() == QMetaType::QStringList
                             ? stored.toStringList().join(QStringLiteral(", "))
                             : stored.toString();
    return text == value;
}

bool SettingsStore::remove(const QString& section, const QString& key) {
    QSettings store = openStore();
    store.remove(entryName(section, key));
    store.sync();
    return store.status() == QSettings::NoError;
}

QString SettingsStore::location() const {
    return openStore().fileName();
}
