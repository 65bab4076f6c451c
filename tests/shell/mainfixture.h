#pragma once

#include "platform/settingsstore.h"
#include "shell/mainwindow.h"
#include "support/machinefixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

// Hands the active modal window called `objectName` to `action` while it is
// up, until the action answers true: a test looks at and answers a window
// that the code under test shows with exec().
class ModalWatcher : public Stepper {
public:
    ModalWatcher(const QString& objectName, std::function<bool(QWidget&)> action)
        : Stepper(
              [objectName, action = std::move(action)] {
                  QWidget* modal = QApplication::activeModalWidget();
                  return modal && modal->objectName() == objectName && modal->isVisible() &&
                         action(*modal);
              },
              10) {}
};

// Answers the "Do Experiment" window by hand: START, then STOP once the
// first point shows. Pass it to a ModalWatcher of "RunExperiment".
inline bool RunTestByHand(QWidget& window) {
    window.findChild<QAbstractButton*>("buttonStart")->click(); // once: then disabled
    if (window.findChild<QWidget*>("textLoad")->property("text").toString().isEmpty())
        return false;
    window.findChild<QAbstractButton*>("buttonStop")->click();
    return true;
}

// A main window as the program builds it, over the real settings file and
// serial port, scripted message boxes and a manual clock moved on by a second
// every 40 ms except while the simulator owes a reply, so the probe's three
// seconds and a pause's two take little real time.
class MainFixture {
public:
    MainFixture() {
        clockDriver.mayAdvance = [this] { return !serialLink.awaitingReply(); };
        settings.remove(QStringLiteral("General"), QStringLiteral("Path"));
    }

    // Port 1 at `port1` (missing when empty), ports 2 to 4 missing; the
    // calibration stored (an empty entry counts as none).
    void configure(const QString& port1,
                   const QString& sensitivity = QStringLiteral("3.906"),
                   const QString& offset = QStringLiteral("0")) {
        const QStringList ports =
            MachineFixture::Ports(port1.isEmpty() ? MachineFixture::kMissingPort : port1);
        for (int i = 0; i < ports.size(); ++i)
            settings.write(QStringLiteral("Ports"), QStringLiteral("Port %1").arg(i + 1), ports[i]);
        settings.write(QStringLiteral("Calibration"), QStringLiteral("Load Cell"), sensitivity);
        settings.write(QStringLiteral("Calibration"), QStringLiteral("Load Cell Offset"), offset);
    }

    Main& start(const QString& commandLine = QString()) {
        main = std::make_unique<Main>(Services{settings, clock, dialogs, serialLink, commandLine});
        main->initialise();
        return *main;
    }

    // A fresh simulator on port 1 (reached through the link `portLink` when
    // given) holding 33 counts of compression (1 lbf, 4 N at a ratio of 1),
    // the reference calibration stored, the window shown and its live load
    // read.
    bool startOnMachine(const QString& portLink = QString()) {
        sim = std::make_unique<Simulator>();
        if (!sim->command(QStringLiteral("hold 32735 1000")) ||
            !(portLink.isEmpty() || QFile::link(sim->path(), portLink)))
            return false;
        configure(portLink.isEmpty() ? sim->path() : portLink);
        start().show();
        return main->deviceInterface().valid() && dialogs.messages.isEmpty() &&
               QTest::qWaitFor([this] { return liveLoadPanel().text() == QLatin1String("1 lbs"); });
    }

    QLabel& liveLoadPanel() const { return item<QLabel>("liveLoadPanel"); }
    QTimer& mainTimer() const { return item<QTimer>("mainTimer"); }
    template <typename T> T& item(const char* name) const {
        T* found = main->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("main window has no %s", name);
        return *found;
    }

    ManualClock clock;
    ClockDriver clockDriver{clock, 40};
    ScriptedDialogs dialogs;
    SettingsStore settings;
    PatientLink serialLink;
    std::unique_ptr<Simulator> sim;
    std::unique_ptr<Main> main; // last: goes before everything it uses
};
