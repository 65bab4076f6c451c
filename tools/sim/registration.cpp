#include "registration.h"

#include <QSettings>
#include <QString>

namespace {
// The program's settings store: INI format, user scope, organisation and
// application "Torvik" ($XDG_CONFIG_HOME/Torvik/Torvik.ini).
QSettings OpenStore() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Torvik"),
                     QStringLiteral("Torvik"));
}
} // namespace

Registration::Registration(int port, std::string path)
    : m_key("Ports/Port " + std::to_string(port)), m_path(std::move(path)) {
    QSettings store = OpenStore();
    store.setValue(QString::fromStdString(m_key), QString::fromStdString(m_path));
    store.sync();
}

Registration::~Registration() {
    QSettings store = OpenStore();
    const QString key = QString::fromStdString(m_key);
    if (store.value(key).toString() == QString::fromStdString(m_path))
        store.remove(key);
    store.sync();
}
