#pragma once

#include "platform/clock.h"
#include "platform/qtseriallink.h"
#include "platform/settingsstore.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogs.h"

#include <QLabel>
#include <QTimer>
#include <memory>

// A main window as the program builds it, over the real settings file, the
// real serial port, scripted message boxes and a manual clock that a timer
// moves on by a second every few milliseconds, so the probe's three seconds
// and the two seconds of a pause take no real time.
class MainFixture {
public:
    static constexpr int kMsecsPerClockSecond = 40;
    static inline const QString kMissingPort = QStringLiteral("/nonexistent/ttyTorvik");

    MainFixture() {
        QObject::connect(&clockDriver, &QTimer::timeout, &clock, [this] { clock.advance(); });
        clockDriver.start(kMsecsPerClockSecond);
        settings.remove(QStringLiteral("General"), QStringLiteral("Path"));
    }

    // Port 1 at `port1` (a missing device when empty); ports 2 to 4 missing.
    void usePorts(const QString& port1) {
        settings.write(QStringLiteral("Ports"), QStringLiteral("Port 1"),
                       port1.isEmpty() ? kMissingPort : port1);
        for (int port = 2; port <= 4; ++port)
            settings.write(QStringLiteral("Ports"), QStringLiteral("Port %1").arg(port),
                           kMissingPort);
    }

    // An empty sensitivity removes the stored calibration.
    void storeCalibration(const QString& sensitivity, const QString& offset = QString()) {
        const QString section = QStringLiteral("Calibration");
        if (sensitivity.isEmpty())
            settings.remove(section, QStringLiteral("Load Cell"));
        else
            settings.write(section, QStringLiteral("Load Cell"), sensitivity);
        if (offset.isEmpty())
            settings.remove(section, QStringLiteral("Load Cell Offset"));
        else
            settings.write(section, QStringLiteral("Load Cell Offset"), offset);
    }

    Main& start(const QString& commandLine = QString()) {
        main = std::make_unique<Main>(Services{settings, clock, dialogs, serialLink, commandLine});
        main->initialise();
        return *main;
    }

    QLabel& liveLoadPanel() const {
        return *main->findChild<QLabel*>(QStringLiteral("liveLoadPanel"));
    }
    QTimer& mainTimer() const { return *main->findChild<QTimer*>(QStringLiteral("mainTimer")); }
    template <typename T> T& item(const char* name) const {
        T* found = main->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("main window has no %s", name);
        return *found;
    }

    ManualClock clock;
    QTimer clockDriver;
    ScriptedDialogs dialogs;
    SettingsStore settings;
    QtSerialLink serialLink;
    std::unique_ptr<Main> main; // last: goes before everything it uses
};
