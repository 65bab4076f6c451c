#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The program's one serial port, opened by device path with the line settings
// 56000 baud, no parity, 8 data bits, 1 stop bit. The device link talks to the
// interface box only through this; QtSerialLink is the real port.
class SerialLink : public QObject {
    Q_OBJECT
public:
    enum class OpenResult {
        Opened,
        InUse,  // another program holds the port (lock file or busy device)
        Denied, // the device is there but this user may not open it
        Failed, // missing device, not a serial port, ...
    };

    using QObject::QObject;
    virtual OpenResult open(const QString& devicePath) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool write(const QByteArray& bytes) = 0;
    virtual qint64 bytesAvailable() const = 0;
    // Appends what has been received to `into`; its room is reused, so a
    // reply taken into the same buffer each time costs no allocation.
    virtual void appendReceived(QByteArray& into) = 0;

signals:
    void readyRead();
    // The device went away (adapter unplugged, far end of a pseudo-terminal
    // closed). The port has been closed.
    void lost();
};
