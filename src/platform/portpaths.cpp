#include "platform/portpaths.h"

#include "platform/settingsstore.h"

namespace {
constexpr int kPortCount = 4;
} // namespace

QStringList PortPaths(const SettingsStore& settings) {
    QStringList paths;
    for (int port = 1; port <= kPortCount; ++port) {
        const QString stored =
            settings.read(QStringLiteral("Ports"), QStringLiteral("Port %1").arg(port)).trimmed();
        paths.append(stored.isEmpty() ? QStringLiteral("/dev/ttyS%1").arg(port - 1) : stored);
    }
    return paths;
}
