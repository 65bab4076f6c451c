#pragma once

#include "device/initialize.h"
#include "device/interface.h"
#include "device/protocol.h"
#include "platform/clock.h"
#include "platform/qtseriallink.h"
#include "support/scripteddialogs.h"
#include "switchclock.h"

#include <QApplication>
#include <QSet>
#include <QTimer>
#include <functional>

// The real serial port with a record of what the device link did with it:
// the paths it opened, in order, what it has read since the last open, and
// every request sent.
class ObservedLink : public QtSerialLink {
    Q_OBJECT
public:
    OpenResult open(const QString& devicePath) override {
        opened.append(devicePath);
        receivedSinceOpen.clear();
        if (deniedPaths.contains(devicePath))
            return OpenResult::Denied;
        const OpenResult result = QtSerialLink::open(devicePath);
        currentPath = result == OpenResult::Opened ? devicePath : QString();
        return result;
    }
    void close() override {
        currentPath.clear();
        QtSerialLink::close();
    }
    bool write(const QByteArray& bytes) override {
        written += bytes;
        return QtSerialLink::write(bytes);
    }
    void appendReceived(QByteArray& into) override {
        const qsizetype held = into.size();
        QtSerialLink::appendReceived(into);
        receivedSinceOpen += into.mid(held);
    }

    QStringList opened;
    QSet<QString> deniedPaths; // refused as if this user may not open them
    QString currentPath;       // empty when no port is open
    QByteArray receivedSinceOpen;
    QByteArray written;
};

// Moves a manual clock on, one whole second at a time, while the device link
// probes, but only when nothing that matters can still arrive: no port is
// open, the open port is one the test made silent, or the identification has
// been read from it. The outcome then never depends on how fast the machine
// running the test is. Each advance records whether the splash window was up.
class ProbeDriver : public QObject {
    Q_OBJECT
public:
    ProbeDriver(ManualClock& clock, ObservedLink& link) : m_clock(clock), m_link(link) {
        connect(&m_timer, &QTimer::timeout, this, &ProbeDriver::handleTimeout);
        m_timer.start(10);
    }

    QSet<QString> silentPaths;
    std::function<bool()> allowAdvance; // replaces the rule above when set
    QList<bool> splashUpAtAdvance;

    static bool splashVisible() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<Initialize*>(window) && window->isVisible())
                return true;
        return false;
    }
    void stop() { m_timer.stop(); }

private:
    bool mayAdvance() const {
        if (allowAdvance)
            return allowAdvance();
        return m_link.currentPath.isEmpty() || silentPaths.contains(m_link.currentPath) ||
               protocol::HoldsIdentity(m_link.receivedSinceOpen);
    }
    void handleTimeout() {
        if (!mayAdvance())
            return;
        splashUpAtAdvance.append(splashVisible());
        m_clock.advance();
    }

    ManualClock& m_clock;
    ObservedLink& m_link;
    QTimer m_timer;
};

// A device link over the real port on ports `paths`, probed on a manual clock
// that the driver moves on; afterwards the clock can be switched to the real
// one.
struct ProbeRig {
    explicit ProbeRig(const QStringList& paths) : device(link, paths, clock, dialogs) {}
    bool probe() {
        device.probe();
        driver.stop();
        return device.valid();
    }

    ManualClock manual;
    SwitchClock clock{manual};
    ObservedLink link;
    ScriptedDialogs dialogs;
    Interface device;
    ProbeDriver driver{manual, link};
};

// A path that can never be a device.
inline QString MissingPort(int port) {
    return QStringLiteral("/dev/null/no-port-%1").arg(port);
}
