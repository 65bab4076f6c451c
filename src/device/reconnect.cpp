#include "device/reconnect.h"

#include "device/protocol.h"
#include "platform/seriallink.h"

namespace {
constexpr int kAttemptIntervalMs = 2000;
} // namespace

Reconnect::Reconnect(SerialLink& port, QObject* parent) : QObject(parent), m_port(port) {
    m_attempts.setInterval(kAttemptIntervalMs);
    connect(&m_attempts, &QTimer::timeout, this, &Reconnect::handleAttempt);
    connect(&m_port, &SerialLink::readyRead, this, &Reconnect::handleReadyRead);
}

void Reconnect::start(const QString& devicePath) {
    m_path = devicePath;
    m_attempts.start();
}

// A port that opened but has not identified itself within an interval is
// closed and opened afresh: the path may lead to another device by now.
void Reconnect::handleAttempt() {
    m_received.clear();
    if (m_port.open(m_path) == SerialLink::OpenResult::Opened)
        m_port.write(protocol::kIdentifyRequest);
}

void Reconnect::handleReadyRead() {
    if (!running())
        return;
    m_port.appendReceived(m_received);
    if (!protocol::HoldsIdentity(m_received))
        return;
    m_attempts.stop();
    emit reconnected();
}
