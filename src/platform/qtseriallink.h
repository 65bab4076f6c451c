#pragma once

#include "platform/seriallink.h"

#include <QSerialPort>

// The real serial port, over QSerialPort; the only place the program touches
// it. Opened with 56000 baud, no parity, 8 data bits, 1 stop bit. A line that
// cannot take 56000 baud exactly (a pseudo-terminal, say) keeps the port at
// the rate it has. A read or resource error (device unplugged, far end of a
// pseudo-terminal closed) closes the port and reports lost() once.
// Window thread.
class QtSerialLink : public SerialLink {
    Q_OBJECT
public:
    explicit QtSerialLink(QObject* parent = nullptr);

    OpenResult open(const QString& devicePath) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes) override;
    qint64 bytesAvailable() const override;
    void appendReceived(QByteArray& into) override;

private:
    void handleErrorOccurred(QSerialPort::SerialPortError error);
    OpenResult classifyOpenFailure(const QString& devicePath) const;

    QSerialPort m_port;
    bool m_lostReported = false;
};
