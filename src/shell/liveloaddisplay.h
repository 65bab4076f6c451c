#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

class EventPump;
class Interface;
class QLabel;

// The live load text of a raw load reading: the load with the calibration in
// force, " lbs" after it in English units, " N" otherwise. May throw what the
// conversion throws for an offset far outside the raw range.
QString LiveLoadText(std::int32_t rawLoad, std::int32_t units);

// The live load in the main window's status bar: each tick of `mainTimer`
// reads the interface and shows the load in the current units. Polling runs
// only while enabled and once the interval has been set, so enabling it early
// at start-up produces no tick before the window is ready. A value that has
// gone more than two clock seconds without a good reading (machine silent or
// unplugged) stays in place but is drawn greyed, and screen readers are told
// since when there has been no reading; an empty panel shows those words.
// Window thread.
class LiveLoadDisplay : public QObject {
    Q_OBJECT
public:
    LiveLoadDisplay(QLabel& panel,
                    EventPump& pump,
                    std::function<std::int32_t()> units,
                    QObject* parent = nullptr);

    // The interface the ticks read. Until it is set nothing is polled.
    void setDevice(Interface& device) { m_device = &device; }
    void setInterval(int msecs);
    // Polling on (ResumeLiveLoad).
    void resume();
    // Busy pointer, polling off, panel emptied, then two clock seconds with
    // window events running, so a reply still on its way has arrived before
    // another window reads the interface (PauseLiveLoad).
    void pause();
    // Polling off at once, without the wait (the program is closing).
    void stop();
    bool enabled() const { return m_enabled; }

private:
    void handleTimeout();
    void applyTimerState();
    void show(const QString& text);
    void markStaleWhenDue();

    QLabel& m_panel;
    EventPump& m_pump;
    std::function<std::int32_t()> m_units;
    Interface* m_device = nullptr;
    QTimer m_mainTimer;
    bool m_enabled = false;
};
