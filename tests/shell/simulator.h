#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

// The testing-machine simulator torvik-sim on a pseudo-terminal, for the
// length of one test. Commands go to its standard input and wait for their
// acknowledgement, so a "hold" is in force when command() returns.
class Simulator {
public:
    explicit Simulator(const QStringList& options = {}) {
        m_process.setProgram(QString::fromLocal8Bit(qgetenv("TORVIK_SIM")));
        m_process.setArguments(options);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        m_portPath = readLine();
    }

    ~Simulator() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("quit\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(2000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Empty when the simulator did not start.
    QString portPath() const { return m_portPath; }

    // Sends one command line; true once the simulator has acknowledged it.
    bool command(const QString& line) {
        m_process.write(line.toLocal8Bit() + '\n');
        const QString word = line.section(QLatin1Char(' '), 0, 0);
        for (;;) {
            const QString reply = readLine();
            if (reply.isEmpty() || reply.startsWith(QLatin1String("error")))
                return false;
            if (reply.startsWith(QLatin1String("ok ") + word))
                return true;
        }
    }

private:
    // The next line of standard output, waiting with events running; empty
    // after five seconds without one.
    QString readLine() {
        if (!QTest::qWaitFor([this] { return m_process.canReadLine(); }, 5000))
            return {};
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }

    QProcess m_process;
    QString m_portPath;
};
