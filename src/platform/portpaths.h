#pragma once

#include <QStringList>

class SettingsStore;

// Device paths of serial ports 1 to 4: section "Ports", keys "Port 1" to
// "Port 4"; an absent key means /dev/ttyS0 to /dev/ttyS3.
QStringList PortPaths(const SettingsStore& settings);
