#pragma once

#include <QObject>

// The wall clock read to the whole second, which every time limit of the
// program is measured on. The program uses SystemClock; tests inject a
// ManualClock so that waits of whole seconds take no real time.
class Clock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Seconds since the epoch, fractions dropped.
    virtual qint64 wholeSeconds() const = 0;
    // Milliseconds until the next whole second begins, or -1 when the clock
    // only moves by advance() (a waiter then wakes on advanced()).
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
    int msecsToNextSecond() const override;
};

class ManualClock : public Clock {
    Q_OBJECT
public:
    explicit ManualClock(qint64 startSeconds = 1'000'000, QObject* parent = nullptr);
    qint64 wholeSeconds() const override { return m_seconds; }
    int msecsToNextSecond() const override { return -1; }
    void advance(qint64 seconds = 1);

private:
    qint64 m_seconds;
};
