#include "clock.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <algorithm>

namespace {
constexpr qint64 kMsecsPerSecond = 1000;

int MsecsToNextWhole(qint64 msecs) {
    return static_cast<int>(kMsecsPerSecond - msecs % kMsecsPerSecond);
}

qint64 SteadyMsecs() {
    return QDeadlineTimer::current(Qt::PreciseTimer).deadline();
}
} // namespace

qint64 SystemClock::wholeSeconds() const {
    return QDateTime::currentMSecsSinceEpoch() / kMsecsPerSecond;
}

qint64 SystemClock::steadySeconds() const {
    return SteadyMsecs() / kMsecsPerSecond;
}

int SystemClock::msecsToNextSecond() const {
    return std::min(MsecsToNextWhole(QDateTime::currentMSecsSinceEpoch()),
                    MsecsToNextWhole(SteadyMsecs()));
}

ManualClock::ManualClock(qint64 startSeconds, QObject* parent)
    : Clock(parent), m_seconds(startSeconds) {}

void ManualClock::advance(qint64 seconds) {
    m_seconds += seconds;
    emit advanced();
}

void ManualClock::stepWall(qint64 seconds) {
    m_wallStep += seconds;
    emit advanced();
}
