#include "liveloaddisplay.h"

#include "device/interface.h"
#include "model/eventpump.h"
#include "model/gfunctions.h"
#include "platform/busycursor.h"
#include "platform/readabletext.h"

#include <QDateTime>
#include <QLabel>
#include <exception>

namespace {
// The pause gives a reply still on its way time to arrive.
constexpr std::int16_t kPauseSeconds = 2;
// A shown value counts as stale once the whole-second clock has moved on by
// more than this since its reading: at least two seconds, longer than one
// late reply followed by a good one takes.
constexpr std::int64_t kStaleAfterSeconds = 2;
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
    show(QString());
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
    if (!m_device->GetVals(load, disp)) {
        markStaleWhenDue();
        return;
    }
    // Polling was switched off while this read waited: the panel stays empty.
    if (!m_enabled)
        return;
    try {
        show(LiveLoadText(load, m_units()));
    } catch (const std::exception&) {
        // A stored offset far outside the raw range: no load to show.
    }
}

// A fresh value (or the empty panel) is drawn normally and read out as shown.
void LiveLoadDisplay::show(const QString& text) {
    m_panel.setEnabled(true);
    SetReadableText(m_panel, text);
}

// The machine's last good reading, whoever took it (a test, the calibration),
// is too old: the value shown is greyed and screen readers are told since
// when there has been none. An empty panel (after a test or a dialog during
// which the machine was lost or never answered) shows the same words.
void LiveLoadDisplay::markStaleWhenDue() {
    const std::optional<std::int64_t> since = m_device->lastReadingSecond();
    if (!m_enabled || !since || !m_panel.isEnabled() ||
        m_pump.WholeSeconds() - *since <= kStaleAfterSeconds)
        return;
    m_panel.setEnabled(false);
    const QString time = QDateTime::fromSecsSinceEpoch(*since).toString(QStringLiteral("HH:mm:ss"));
    const QString cue = tr("No reading since %1").arg(time);
    if (m_panel.text().isEmpty())
        SetReadableText(m_panel, cue);
    else
        SetReadableDescription(m_panel, cue);
}
