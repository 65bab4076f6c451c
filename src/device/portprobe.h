#pragma once

#include <QByteArray>
#include <QStringList>

class Clock;
class EventWait;
class SerialLink;

// Looks for the interface box on serial ports 1 to 4 in turn: opens each,
// sends "CAL" and "IDN?", and waits until the identification code arrives or
// the whole-second clock has advanced by one. The port that answered is left
// open; every other port is closed again. Runs on the window thread, blocking
// in an event wait, so window events keep running.
class PortProbe {
public:
    struct Outcome {
        bool found = false;
        int port = 0;            // 1 to 4 when found
        bool portInUse = false;  // some port was held by another program
        bool portDenied = false; // some port was there but not ours to open
    };

    PortProbe(SerialLink& port, const QStringList& portPaths, Clock& clock, EventWait& wait);
    Outcome run();

private:
    enum class Attempt { Found, NotFound, InUse, Denied };
    Attempt tryPort(const QString& devicePath);
    bool awaitIdentity();

    SerialLink& m_port;
    QStringList m_portPaths;
    Clock& m_clock;
    EventWait& m_wait;
    QByteArray m_received;
};
