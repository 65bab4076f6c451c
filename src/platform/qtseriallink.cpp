#include "platform/qtseriallink.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {
constexpr qint32 kLineBaud = 56000;
} // namespace

QtSerialLink::QtSerialLink(QObject* parent) : SerialLink(parent), m_port(this) {
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialLink::handleErrorOccurred);
}

SerialLink::OpenResult QtSerialLink::open(const QString& devicePath) {
    close();
    m_port.setPortName(devicePath);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    // Opened at a standard rate first: QSerialPort gives up the whole open when
    // the rate it was asked for is refused, and a line that cannot take 56000
    // baud must still be used.
    m_port.setBaudRate(QSerialPort::Baud9600);
    if (!m_port.open(QIODevice::ReadWrite))
        return classifyOpenFailure(devicePath);
    m_port.setBaudRate(kLineBaud);
    m_port.clearError();
    m_lostReported = false;
    return OpenResult::Opened;
}

// QSerialPort reports a port another program holds (its lock file, or a busy
// device) as PermissionError, and a device the user may not open the same way.
// Only the first is "in use"; the second is told apart so the operator can be
// pointed at the group that owns the serial ports.
SerialLink::OpenResult QtSerialLink::classifyOpenFailure(const QString& devicePath) const {
    if (m_port.error() != QSerialPort::PermissionError)
        return OpenResult::Failed;
    const QByteArray path = QFile::encodeName(devicePath);
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return errno == EACCES ? OpenResult::Denied : OpenResult::Failed;
    return OpenResult::InUse;
}

void QtSerialLink::close() {
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

bool QtSerialLink::isOpen() const {
    return m_port.isOpen();
}

bool QtSerialLink::write(const QByteArray& bytes) {
    if (!m_port.isOpen())
        return false;
    // A request goes straight to the driver when nothing waits to go before
    // it: one system call, where QSerialPort would buffer it, arm its write
    // notifier, write on flush() and disarm the notifier again. Whatever the
    // driver does not take at once (a full output queue, an error) goes the
    // QSerialPort way, which also reports a device that has gone.
    qsizetype sent = 0;
    if (m_port.bytesToWrite() == 0)
        sent = std::max<qsizetype>(0, ::write(m_port.handle(), bytes.constData(), bytes.size()));
    if (sent == bytes.size())
        return true;
    const QByteArray rest = bytes.mid(sent);
    if (m_port.write(rest) != rest.size())
        return false;
    m_port.flush();
    return m_port.isOpen();
}

qint64 QtSerialLink::bytesAvailable() const {
    return m_port.isOpen() ? m_port.bytesAvailable() : 0;
}

void QtSerialLink::appendReceived(QByteArray& into) {
    const qint64 available = bytesAvailable();
    if (available <= 0)
        return;
    const qsizetype held = into.size();
    into.resize(held + available);
    const qint64 taken = m_port.read(into.data() + held, available);
    into.resize(held + std::max<qint64>(taken, 0));
}

// When the far side of a pseudo-terminal closes, QSerialPort reports ReadError
// again and again until the port is closed; an unplugged adapter gives
// ResourceError. Either way the device is gone.
void QtSerialLink::handleErrorOccurred(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    if (m_port.isOpen())
        m_port.close();
    if (m_lostReported)
        return;
    m_lostReported = true;
    emit lost();
}
