#include "settingsstore.h"

#include <QSettings>
#include <QStringList>

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
    return store.status() == QSettings::NoError;
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
