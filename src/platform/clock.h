#pragma once

#include <QObject>

// The program's two clocks, read to the whole second. The wall clock paces
// what the operator sees in seconds (the splash window, WaitSeconds); every
// time limit (a read's, a port's during the probe) is measured on the steady
// clock instead, which only moves forward, so that setting the system clock
// neither stretches nor cuts a limit. The program uses SystemClock; tests
// inject a ManualClock so that waits of whole seconds take no real time.
class Clock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Wall-clock seconds since the epoch, fractions dropped.
    virtual qint64 wholeSeconds() const = 0;
    // Seconds on a monotonic clock from an arbitrary start, fractions dropped.
    virtual qint64 steadySeconds() const = 0;
    // Milliseconds until the next whole second of either clock begins, or -1
    // when the clock only moves by advance() (a waiter then looks again after
    // the event that moved it).
    virtual int msecsToNextSecond() const = 0;

signals:
    // Emitted when a manual clock has been moved.
    void advanced();
};

class SystemClock : public Clock {
    Q_OBJECT
public:
    using Clock::Clock;
    qint64 wholeSeconds() const override;
    qint64 steadySeconds() const override;
    int msecsToNextSecond() const override;
};

// Both clocks move together by advance(); stepWall() sets the wall clock
// alone, as an operator or a time service would.
class ManualClock : public Clock {
    Q_OBJECT
public:
    explicit ManualClock(qint64 startSeconds = 1'000'000, QObject* parent = nullptr);
    qint64 wholeSeconds() const override { return m_seconds + m_wallStep; }
    qint64 steadySeconds() const override { return m_seconds; }
    int msecsToNextSecond() const override { return -1; }
    void advance(qint64 seconds = 1);
    void stepWall(qint64 seconds);

private:
    qint64 m_seconds;
    qint64 m_wallStep = 0;
};
