#pragma once

#include "device/initialize.h"
#include "device/protocol.h"
#include "observedlink.h"
#include "platform/clock.h"

#include <QApplication>
#include <QSet>
#include <QTimer>
#include <functional>

// Moves a manual clock on, one whole second at a time, while the device link
// probes, but only when nothing that matters can still arrive: no port is
// open, the open port is one the test made silent, or the identification has
// been read from it. The outcome then never depends on how fast the machine
// running the test is. Each advance records whether the splash window was up.
class ProbeDriver : public QObject {
    Q_OBJECT
public:
    ProbeDriver(ManualClock& clock, ObservedLink& link) : m_clock(clock), m_link(link) {
        m_timer.setInterval(kTickMs);
        connect(&m_timer, &QTimer::timeout, this, &ProbeDriver::handleTimeout);
        m_timer.start();
    }

    QSet<QString> silentPaths;
    // Optional: overrides when an advance is allowed.
    std::function<bool()> allowAdvance;
    struct Advance {
        qint64 seconds; // clock reading before the advance
        bool splashVisible;
    };
    QList<Advance> advances;

    static bool splashVisible() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<Initialize*>(window) && window->isVisible())
                return true;
        return false;
    }
    void stop() { m_timer.stop(); }

private:
    static constexpr int kTickMs = 10;

    bool mayAdvance() const {
        if (allowAdvance)
            return allowAdvance();
        return m_link.currentPath.isEmpty() || silentPaths.contains(m_link.currentPath) ||
               protocol::HoldsIdentity(m_link.receivedSinceOpen);
    }
    void handleTimeout() {
        if (!mayAdvance())
            return;
        advances.append({m_clock.wholeSeconds(), splashVisible()});
        m_clock.advance();
    }

    ManualClock& m_clock;
    ObservedLink& m_link;
    QTimer m_timer;
};
