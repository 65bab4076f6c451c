#pragma once

// The least a Qt program can do for a reading: a QSerialPort on the
// simulator's path, "RV" + CR written straight to its descriptor, and the
// window thread's event dispatcher run until 12 characters are in. No checks,
// no time limit, no parse. Beside the plain loop it shows what the event loop
// itself costs a reading, whatever the device link does on top of it.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <unistd.h>

// Readings per second over `path` for `seconds`; 0 when it cannot be opened.
inline double QtLoopRate(const QString& path, double seconds) {
    QSerialPort port(path);
    if (!port.open(QIODevice::ReadWrite))
        return 0.0;
    QElapsedTimer wall;
    wall.start();
    long readings = 0;
    QByteArray reply;
    while (wall.elapsed() < seconds * 1000) {
        reply.clear();
        if (::write(port.handle(), "RV\r", 3) != 3)
            break;
        QElapsedTimer limit;
        limit.start();
        while (reply.size() < 12 && limit.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            reply += port.readAll();
        }
        if (reply.size() < 12)
            break;
        ++readings;
    }
    return readings / (wall.elapsed() / 1000.0);
}
