#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

// The testing-machine simulator (torvik-sim, path in $TORVIK_SIM) on a
// pseudo-terminal, driven through its standard input. Waits for its output in
// an event loop with a time limit, so a broken simulator fails the test
// instead of hanging it.
class SimulatedMachine {
public:
    explicit SimulatedMachine(const QStringList& arguments = {}) {
        m_process.setProgram(QString::fromLocal8Bit(qgetenv("TORVIK_SIM")));
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        m_path = nextLine();
    }
    ~SimulatedMachine() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("quit\n");
        m_process.closeWriteChannel();
        if (!waitFor([this] { return m_process.state() == QProcess::NotRunning; })) {
            m_process.kill();
            m_process.waitForFinished(kLimitMsecs);
        }
    }
    SimulatedMachine(const SimulatedMachine&) = delete;
    SimulatedMachine& operator=(const SimulatedMachine&) = delete;

    // The device path of the pseudo-terminal; empty when the simulator did not start.
    QString path() const { return m_path; }

    // Sends one command line and answers whether the simulator acknowledged it.
    bool command(const QString& line) {
        m_process.write(line.toUtf8() + '\n');
        return nextLine().startsWith(QStringLiteral("ok "));
    }

private:
    static constexpr int kLimitMsecs = 10000;

    template <typename Condition> bool waitFor(Condition done) {
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
        QObject::connect(&m_process, &QProcess::stateChanged, &loop, &QEventLoop::quit);
        limit.start(kLimitMsecs);
        while (!done() && limit.isActive())
            loop.exec();
        QObject::disconnect(&m_process, nullptr, &loop, nullptr);
        return done();
    }

    QString nextLine() {
        if (!waitFor([this] {
                return m_process.canReadLine() || m_process.state() == QProcess::NotRunning;
            }))
            return {};
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    QProcess m_process;
    QString m_path;
};
