// torvik-porthold PATH: opens a serial port the way the program does and
// holds it, as another program using the port would, until terminated.
// Prints "held" once the port is open, "failed" otherwise.

#include "platform/qtseriallink.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QtSerialLink link;
    const bool held = link.open(QString::fromLocal8Bit(argv[1])) == SerialLink::OpenResult::Opened;
    std::puts(held ? "held" : "failed");
    std::fflush(stdout);
    return held ? app.exec() : 1;
}
