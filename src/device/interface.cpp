#include "device/interface.h"

#include "device/initialize.h"
#include "device/portprobe.h"
#include "device/protocol.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/seriallink.h"

namespace {
// The splash window stays up until the whole-second clock has advanced by
// this much from the start of the probe, however quickly the box answered.
constexpr qint64 kSplashMinimumSeconds = 3;
// A read gives up once the steady clock has advanced by more than this many
// whole seconds since the request: between one and two seconds of real time.
constexpr qint64 kReadLimitSeconds = 1;
// Every reply from the box ends with this.
constexpr char kReplyEnd = '\r';

const QString kNotFoundMessage = QStringLiteral("No Torvik interface found.");
const QString kInUseMessage = QStringLiteral("No Torvik interface found.  Com port may be in use.");
// Added when a port was there but the operator's account may not open it.
const QString kDeniedHint = QStringLiteral("  Permission to open a serial port was refused: add "
                                           "your account to the dialout group and log in again.");

// Gives the read back when GetVals leaves, whichever way it leaves.
struct CallDepthRelease {
    std::int32_t& depth;
    ~CallDepthRelease() { --depth; }
};
} // namespace

Interface::Interface(
    SerialLink& port, QStringList portPaths, Clock& clock, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_port(port), m_portPaths(std::move(portPaths)), m_clock(clock),
      m_dialogs(dialogs), m_wait(clock), m_reconnect(port) {
    connect(&m_port, &SerialLink::lost, this, &Interface::handleLost);
}

void Interface::probe() {
    if (m_probed)
        return;
    m_probed = true;
    bool portInUse = false;
    bool portDenied = false;
    {
        Initialize splash;
        splash.showCentred();
        const qint64 start = m_clock.wholeSeconds();
        const PortProbe::Outcome outcome = PortProbe(m_port, m_portPaths, m_clock, m_wait).run();
        m_valid = outcome.found;
        if (m_valid)
            m_foundPath = m_portPaths.at(outcome.port - 1);
        portInUse = outcome.portInUse;
        portDenied = outcome.portDenied;
        m_wait.until([&] { return m_clock.wholeSeconds() - start >= kSplashMinimumSeconds; });
        splash.close();
    }
    if (m_valid)
        return;
    if (m_port.isOpen())
        m_port.close();
    const QString message =
        (portInUse ? kInUseMessage : kNotFoundMessage) + (portDenied ? kDeniedHint : QString());
    m_dialogs.message(message, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

bool Interface::GetVals(std::int32_t& load, std::int32_t& disp) {
    ++m_callDepth;
    if (m_callDepth > 1 || !m_valid || m_appClosing) {
        --m_callDepth;
        return false;
    }
    std::optional<protocol::Reading> reading;
    {
        const CallDepthRelease release{m_callDepth};
        reading = readOnce();
    }
    emit readFinished();
    if (!reading)
        return false;
    load = reading->load;
    disp = reading->disp;
    return true;
}

// One request and its reply. What arrived before the request is thrown away:
// a reply that came after its own request gave up must not be taken for the
// reply to this one.
std::optional<protocol::Reading> Interface::readOnce() {
    // A lost device fails every read at once until it answers again; the port
    // may be open meanwhile, waiting for the identification.
    if (m_reconnect.running())
        return std::nullopt;
    m_readAbandoned = false;
    takeReceived();
    dropReceived(m_received.size());
    const qint64 requested = m_clock.steadySeconds();
    if (!m_port.write(protocol::kReadRequest))
        return std::nullopt;
    emit requestSent();
    bool gaveUp = false;
    m_wait.until([&] {
        gaveUp = m_appClosing || m_readAbandoned || !m_port.isOpen() ||
                 m_clock.steadySeconds() - requested > kReadLimitSeconds;
        return gaveUp || takeReceived() >= protocol::kReadingReplyChars;
    });
    if (gaveUp)
        return std::nullopt;
    const std::optional<protocol::Reading> reading = protocol::ParseReading(m_received);
    // A reply of the wrong shape is dropped up to the end of a reply, so that
    // the next one is read from its first character.
    const qsizetype end = m_received.indexOf(kReplyEnd);
    dropReceived(reading ? protocol::kReadingReplyChars : end < 0 ? m_received.size() : end + 1);
    return reading;
}

// Appends what the port has received; returns how many characters of this
// read's reply are in. After a reply that was cut short (its read gave up, or
// its start was thrown away) the rest of it is still to come: everything up
// to its end is dropped first.
qsizetype Interface::takeReceived() {
    m_port.appendReceived(m_received);
    if (m_midReply) {
        const qsizetype end = m_received.indexOf(kReplyEnd);
        m_midReply = end < 0;
        m_received.remove(0, end < 0 ? m_received.size() : end + 1);
    }
    return m_received.size();
}

// Drops the first `count` received characters; the link is then in the middle
// of a reply unless the last of them ended one.
void Interface::dropReceived(qsizetype count) {
    if (count <= 0)
        return;
    m_midReply = m_received.at(count - 1) != kReplyEnd;
    m_received.remove(0, count);
}

// Whatever calls these runs as an event inside the waiting read, which
// checks its condition again once that event has been handled.
void Interface::setAppClosing(bool closing) {
    m_appClosing = closing;
}

void Interface::abandonRead() {
    if (m_callDepth > 0)
        m_readAbandoned = true;
}

void Interface::handleLost() {
    m_received.clear();
    m_midReply = false;
    if (m_valid)
        m_reconnect.start(m_foundPath);
}
