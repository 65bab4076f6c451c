#pragma once

#include "platform/clock.h"
#include "platform/qtseriallink.h"
#include "platform/settingsstore.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogs.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <memory>

// The real serial port, noting whether a request still waits for its reply.
// A manual clock that runs fast must not run past the time limit of a request
// the simulator is about to answer.
class PatientLink : public SerialLink {
public:
    PatientLink() {
        connect(&m_port, &SerialLink::readyRead, this, [this] {
            m_awaitingReply = false;
            emit readyRead();
        });
        connect(&m_port, &SerialLink::lost, this, &SerialLink::lost);
    }

    // A request was written less than `patienceMsecs` ago and nothing has
    // arrived since.
    bool awaitingReply(int patienceMsecs) const {
        return m_awaitingReply && m_port.isOpen() && m_sinceRequest.elapsed() < patienceMsecs;
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
    QByteArray readAll() override { return m_port.readAll(); }
    void discardInput() override { m_port.discardInput(); }

private:
    QtSerialLink m_port;
    QElapsedTimer m_sinceRequest;
    bool m_awaitingReply = false;
};

// A main window as the program builds it, over the real settings file, the
// real serial port, scripted message boxes and a manual clock that a timer
// moves on by a second every few milliseconds, so the probe's three seconds,
// the two seconds of a pause and the ten of a zeroing take little real time.
// The clock holds still while the simulator owes a reply (up to a second of
// real time), so a request is never timed out before it could be answered.
class MainFixture {
public:
    static constexpr int kMsecsPerClockSecond = 40;
    static constexpr int kReplyPatienceMsecs = 1000;
    static inline const QString kMissingPort = QStringLiteral("/nonexistent/ttyTorvik");

    MainFixture() {
        QObject::connect(&clockDriver, &QTimer::timeout, &clock, [this] {
            if (!serialLink.awaitingReply(kReplyPatienceMsecs))
                clock.advance();
        });
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
    PatientLink serialLink;
    std::unique_ptr<Main> main; // last: goes before everything it uses
};
