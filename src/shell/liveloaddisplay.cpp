#include "liveloaddisplay.h"

#include "device/interface.h"
#include "model/gfunctions.h"
#include "platform/busycursor.h"

#include <QLabel>
#include <exception>

namespace {
// The pause gives a reply still on its way time to arrive.
constexpr std::int16_t kPauseSeconds = 2;
} // namespace

QString LiveLoadText(std::int32_t rawLoad, std::int32_t units) {
    const QString number = QString::fromStdString(PlainNumberText(LiveLoad(rawLoad, units)));
    return number + (units == kUnitsEnglish ? QStringLiteral(" lbs") : QStringLiteral(" N"));
}

LiveLoadDisplay::LiveLoadDisplay(QLabel& panel,
                                 EventPump& pump,
                                 std::function<std::int32_t()> units,
                                 QObject* parent)
    : QObject(parent), m_panel(panel), m_pump(pump), m_units(std::move(units)), m_mainTimer(this) {
    m_mainTimer.setObjectName(QStringLiteral("mainTimer"));
    // No interval yet: the timer stays quiet until start-up sets one.
    m_mainTimer.setInterval(0);
    connect(&m_mainTimer, &QTimer::timeout, this, &LiveLoadDisplay::handleTimeout);
}

void LiveLoadDisplay::setInterval(int msecs) {
    m_mainTimer.setInterval(msecs);
    applyTimerState();
}

void LiveLoadDisplay::resume() {
    m_enabled = true;
    applyTimerState();
}

void LiveLoadDisplay::pause() {
    const BusyCursor busy;
    stop();
    m_panel.clear();
    WaitSeconds(m_pump, kPauseSeconds);
}

void LiveLoadDisplay::stop() {
    m_enabled = false;
    applyTimerState();
}

void LiveLoadDisplay::applyTimerState() {
    if (m_enabled && m_mainTimer.interval() > 0) {
        if (!m_mainTimer.isActive())
            m_mainTimer.start();
    } else {
        m_mainTimer.stop();
    }
}

void LiveLoadDisplay::handleTimeout() {
    if (!m_device)
        return;
    std::int32_t load = 0;
    std::int32_t disp = 0;
    // A failed read leaves the last text in place.
    if (!m_device->GetVals(load, disp))
        return;
    // Polling was switched off while this read waited: the panel stays empty.
    if (!m_enabled)
        return;
    try {
        m_panel.setText(LiveLoadText(load, m_units()));
    } catch (const std::exception&) {
        // A stored offset far outside the raw range: no load to show.
    }
}
