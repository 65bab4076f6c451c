#pragma once

#include "device/interface.h"
#include "device/simprocess.h"
#include "platform/clock.h"
#include "platform/geometry.h"
#include "platform/qteventpump.h"
#include "platform/qtseriallink.h"
#include "support/scripteddialogs.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// The testing-machine simulator on a pseudo-terminal for the length of a
// test; its path is empty when it did not start.
struct Simulator : SimProcess {
    Simulator() { start(); }
};

// The real serial port, noting whether a request still waits for its reply:
// a manual clock that runs fast must not run past the time limit of a request
// the simulator is about to answer.
class PatientLink : public SerialLink {
public:
    static constexpr int kPatienceMsecs = 1000;

    PatientLink() {
        connect(&m_port, &SerialLink::readyRead, this, [this] {
            m_awaitingReply = false;
            emit readyRead();
        });
        connect(&m_port, &SerialLink::lost, this, &SerialLink::lost);
    }
    bool awaitingReply() const {
        return m_awaitingReply && m_port.isOpen() && m_sinceRequest.elapsed() < kPatienceMsecs;
    }

    OpenResult open(const QString& devicePath) override { return m_port.open(devicePath); }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    bool write(const QByteArray& bytes) override {
        m_awaitingReply = true;
        m_sinceRequest.start();
        return m_port.write(bytes);
    }
    qint64 bytesAvailable() const override { return m_port.bytesAvailable(); }
    void appendReceived(QByteArray& into) override { m_port.appendReceived(into); }

private:
    QtSerialLink m_port;
    QElapsedTimer m_sinceRequest;
    bool m_awaitingReply = false;
};

// Calls `step` every few milliseconds, from whatever event loop runs (a modal
// window's, a measurement's wait), until it answers true.
class Stepper : public QTimer {
public:
    explicit Stepper(std::function<bool()> step, int intervalMsecs = 5) : m_step(std::move(step)) {
        connect(this, &QTimer::timeout, this, [this] {
            if (m_step())
                stop();
        });
        start(intervalMsecs);
    }
    bool done() const { return !isActive(); }

private:
    std::function<bool()> m_step;
};

// A manual clock moved on by a second at every step while `mayAdvance` holds
// (always when empty), so that waits of whole seconds take little real time.
class ClockDriver : public Stepper {
public:
    ClockDriver(ManualClock& clock, int intervalMsecs)
        : Stepper(
              [this, &clock] {
                  if (!mayAdvance || mayAdvance())
                      clock.advance();
                  return false;
              },
              intervalMsecs) {}
    std::function<bool()> mayAdvance;
};

// The simulator found by a real probe on port 1 (`machine`), an interface
// whose ports are all missing (`noMachine`), and a clock that holds still
// while a request waits for its reply. One per test.
class MachineFixture {
public:
    static inline const QString kMissingPort = QStringLiteral("/nonexistent/ttyTorvik");
    static QStringList Ports(const QString& port1) {
        return {port1, kMissingPort, kMissingPort, kMissingPort};
    }

    // False when the machine was not found or the missing ports were.
    bool start() {
        if (sim->path().isEmpty())
            return false;
        // A reply is never late merely because the test clock ran ahead.
        clockDriver.mayAdvance = [this] {
            return !link.awaitingReply() && !(machine && machine->readInProgress());
        };
        machine = std::make_unique<Interface>(link, Ports(sim->path()), clock, dialogs);
        noMachine = std::make_unique<Interface>(emptyLink, Ports(kMissingPort), clock, dialogs);
        machine->probe();
        noMachine->probe();
        dialogs.messages.clear();
        return machine->valid() && !noMachine->valid();
    }
    // Reads that get no reply time out on the test clock.
    void advanceAlways() { clockDriver.mayAdvance = {}; }
    // The simulator is ended after the links are gone, in a wait that lets
    // the clock driver tick: it must not ask a link that no longer exists.
    ~MachineFixture() { advanceAlways(); }

    ManualClock clock;
    ClockDriver clockDriver{clock, 5};
    QtEventPump pump{clock};
    ScriptedDialogs dialogs;
    std::unique_ptr<Simulator> sim = std::make_unique<Simulator>();
    PatientLink link;
    PatientLink emptyLink;
    std::unique_ptr<Interface> machine;
    std::unique_ptr<Interface> noMachine;
};

// A control of a fixed-size window as designed, in twips.
struct DesignedControl {
    const char* name;
    QString caption; // its accessible name, and its text unless it is a field
    QRect place;
};

// What differs from the design in a fixed-size window whose controls sit in
// "Frame1" at (20, 0), or nothing; sizes in twips. A caption keeps its place
// and may only grow towards the control it names, so that it is read in full
// in a larger font.
inline QString LayoutFault(const QWidget& window,
                           const QString& title,
                           const QSize& client,
                           const QSize& frameSize,
                           const QList<DesignedControl>& controls) {
    const QWidget* frame = window.findChild<QWidget*>(QStringLiteral("Frame1"));
    if (window.windowTitle() != title || window.accessibleName() != title ||
        window.size() != TwipsRect(0, 0, client.width(), client.height()).size() ||
        window.minimumSize() != window.maximumSize() ||
        frame->geometry() != TwipsRect(20, 0, frameSize.width(), frameSize.height()))
        return QStringLiteral("title, size or frame");
    for (const DesignedControl& design : controls) {
        const QString name = QLatin1String(design.name);
        const auto* control = frame->findChild<QWidget*>(name);
        const auto* label = qobject_cast<const QLabel*>(control);
        if (!control || control->accessibleName() != design.caption ||
            (!qobject_cast<const QLineEdit*>(control) &&
             control->property("text").toString() != design.caption))
            return name + QStringLiteral(" missing or misnamed");
        const QRect& place = design.place;
        if (label ? !label->buddy() || label->pos() != place.topLeft() ||
                        label->height() != place.height() || label->width() < place.width() ||
                        label->sizeHint().width() > label->width() ||
                        (label->width() > place.width() &&
                         label->geometry().right() >= label->buddy()->x())
                  : control->geometry() != place)
            return name + QStringLiteral(" moved, cut off or overlapping");
    }
    return {};
}
