#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <cstdint>

// Runs this benchmark again, in a process of its own, for each long case:
// 1,000,000 and 20,000,000 points, monotonic and back and forth. Each child
// gets its case as two arguments, so each case's peak memory is its own.
// Returns 0 when every child passed its limits, 1 otherwise.
inline int RunLongCasesInChildren() {
    int failures = 0;
    for (const std::int32_t points : {1'000'000, 20'000'000}) {
        for (const char* shape : {"monotonic", "back-and-forth"}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QString::number(points), QString::fromLatin1(shape)});
            child.waitForFinished(-1);
            failures += child.exitCode() != 0 ? 1 : 0;
        }
    }
    return failures == 0 ? 0 : 1;
}
