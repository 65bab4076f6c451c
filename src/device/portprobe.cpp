#include "device/portprobe.h"

#include "device/protocol.h"
#include "platform/clock.h"
#include "platform/eventwait.h"
#include "platform/seriallink.h"

namespace {
constexpr int kPortCount = 4;
// A port is given up once the steady clock has moved on by this many whole
// seconds: anything from a moment to one second of real time.
constexpr qint64 kIdentityLimitSeconds = 1;
} // namespace

PortProbe::PortProbe(SerialLink& port, const QStringList& portPaths, Clock& clock, EventWait& wait)
    : m_port(port), m_portPaths(portPaths), m_clock(clock), m_wait(wait) {}

PortProbe::Outcome PortProbe::run() {
    Outcome outcome;
    const int ports = std::min<int>(kPortCount, static_cast<int>(m_portPaths.size()));
    for (int port = 1; port <= ports; ++port) {
        const Attempt attempt = tryPort(m_portPaths.at(port - 1));
        if (attempt == Attempt::InUse)
            outcome.portInUse = true;
        if (attempt == Attempt::Denied)
            outcome.portDenied = true;
        if (attempt == Attempt::Found) {
            outcome.found = true;
            outcome.port = port;
            break;
        }
    }
    return outcome;
}

PortProbe::Attempt PortProbe::tryPort(const QString& devicePath) {
    if (m_port.isOpen())
        m_port.close();
    switch (m_port.open(devicePath)) {
    case SerialLink::OpenResult::InUse:
        return Attempt::InUse;
    case SerialLink::OpenResult::Denied:
        return Attempt::Denied;
    case SerialLink::OpenResult::Failed:
        return Attempt::NotFound;
    case SerialLink::OpenResult::Opened:
        break;
    }
    // Only what this port sends can identify it: a code pieced together from
    // the tail of one port's text and the head of the next names no port.
    m_received.clear();
    const bool found = m_port.write(protocol::kCalRequest) &&
                       m_port.write(protocol::kIdentifyRequest) && awaitIdentity();
    if (found)
        return Attempt::Found;
    m_port.close();
    return Attempt::NotFound;
}

// Collects everything the port sends until the code is in it, the port is
// gone, or the per-port limit has passed.
bool PortProbe::awaitIdentity() {
    const qint64 start = m_clock.steadySeconds();
    m_wait.until([&] {
        m_port.appendReceived(m_received);
        return protocol::HoldsIdentity(m_received) || !m_port.isOpen() ||
               m_clock.steadySeconds() - start >= kIdentityLimitSeconds;
    });
    return m_port.isOpen() && protocol::HoldsIdentity(m_received);
}
