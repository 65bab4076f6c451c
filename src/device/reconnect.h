#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class SerialLink;

// Brings the device link back after the device was lost (a USB adapter pulled
// out, say): every two seconds it reopens the port path the device was found
// on and sends the identification request, until a reply holds the
// identification code. Nothing blocks: attempts run on a timer and the reply
// is gathered as it arrives, so window events go on as usual. Window thread.
class Reconnect : public QObject {
    Q_OBJECT
public:
    explicit Reconnect(SerialLink& port, QObject* parent = nullptr);
    // Starts trying `devicePath`; the first attempt comes after one interval.
    void start(const QString& devicePath);
    // Trying, and the link not answering yet.
    bool running() const { return m_attempts.isActive(); }

signals:
    // The device answered on the path again; the port stays open.
    void reconnected();

private:
    void handleAttempt();
    void handleReadyRead();

    SerialLink& m_port;
    QString m_path;
    QByteArray m_received;
    QTimer m_attempts;
};
