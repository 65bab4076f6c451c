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
    m_replyGrace.setSingleShot(true);
    m_replyGrace.setInterval(kReplyGraceMsecs);
    connect(&m_replyGrace, &QTimer::timeout, this, [this] { m_readAbandoned = true; });
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
        if (m_valid) {
            m_foundPath = m_portPaths.at(outcome.port - 1);
            m_answering = true;
            m_lastReadingSecond = m_clock.wholeSeconds();
        }
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

// One request and its reply. What arrived before the request answers earlier
// requests: a reply that came after its own request gave up must not be taken
// for the reply to this one.
std::optional<protocol::Reading> Interface::readOnce() {
    // A lost device fails every read at once until it answers again; the port
    // may be open meanwhile, waiting for the identification.
    if (m_reconnect.running())
        return std::nullopt;
    m_readAbandoned = false;
    m_replyGrace.stop();
    m_received.resize(0); // keeps its room, unlike clear()
    m_port.appendReceived(m_received);
    m_framer.requestSent(m_received);
    const qint64 requested = m_clock.steadySeconds();
    if (!m_port.write(protocol::kReadRequest))
        return std::nullopt;
    emit requestSent();
    bool heard = false; // any character at all came during this read
    bool late = false;
    protocol::ReplyFramer::Outcome outcome = protocol::ReplyFramer::Outcome::Waiting;
    m_wait.until([&] {
        if (m_appClosing)
            return true;
        m_received.resize(0);
        m_port.appendReceived(m_received);
        heard = heard || !m_received.isEmpty();
        outcome = m_framer.take(m_received);
        if (outcome != protocol::ReplyFramer::Outcome::Waiting)
            return true;
        late = m_clock.steadySeconds() - requested > kReadLimitSeconds;
        return late || m_readAbandoned || !m_port.isOpen();
    });
    m_replyGrace.stop();
    if (m_appClosing)
        return std::nullopt;
    if (outcome != protocol::ReplyFramer::Outcome::Waiting)
        setAnswering(true);
    else if (late)
        setAnswering(false);
    // A whole read with not a character: a reply cut short before it will
    // not be finished any more, and the next one starts afresh.
    if (late && !heard)
        m_framer.reset();
    if (outcome != protocol::ReplyFramer::Outcome::Reading)
        return std::nullopt;
    m_lastReadingSecond = m_clock.wholeSeconds();
    return m_framer.reading();
}

void Interface::setAnswering(bool answering) {
    if (m_answering == answering)
        return;
    m_answering = answering;
    emit answeringChanged(answering);
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

void Interface::abandonReadAfterReply() {
    if (m_callDepth == 0)
        return;
    if (!m_answering)
        m_readAbandoned = true;
    else if (!m_replyGrace.isActive())
        m_replyGrace.start();
}

void Interface::handleLost() {
    m_framer.reset();
    setAnswering(false);
    if (m_valid)
        m_reconnect.start(m_foundPath);
}
