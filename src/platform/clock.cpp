#include "clock.h"

#include <QDateTime>

qint64 SystemClock::wholeSeconds() const {
    return QDateTime::currentMSecsSinceEpoch() / 1000;
}

int SystemClock::msecsToNextSecond() const {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    return static_cast<int>(1000 - now % 1000);
}

ManualClock::ManualClock(qint64 startSeconds, QObject* parent)
    : Clock(parent), m_seconds(startSeconds) {}

void ManualClock::advance(qint64 seconds) {
    m_seconds += seconds;
    emit advanced();
}
