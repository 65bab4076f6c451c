#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <sys/resource.h>

// A torvik-sim process for tests: started with the given options, it prints
// its pseudo-terminal's path first; commands written to it are acknowledged
// with "ok ..." or "error ...", and with --log every request it receives is
// reported as "got <request>". All waits run the event loop.
class SimProcess {
public:
    SimProcess() {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { takeOutput(); });
    }
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // True once the simulator is running and has told its path.
    bool start(const QStringList& arguments = {}) {
        m_process.start(qEnvironmentVariable("TORVIK_SIM"), arguments);
        if (!m_process.waitForStarted(5000) || !waitFor([this] { return !m_lines.isEmpty(); }))
            return false;
        m_path = m_lines.takeFirst();
        return m_path.startsWith(QLatin1String("/dev/"));
    }
    QString path() const { return m_path; }

    // Sends one command and waits for its acknowledgement; true for "ok".
    bool command(const QString& line) {
        m_process.write((line + '\n').toUtf8());
        QString ack;
        waitFor([&] {
            for (qsizetype i = 0; i < m_lines.size() && ack.isEmpty(); ++i)
                if (m_lines.at(i).startsWith(QLatin1String("ok")) ||
                    m_lines.at(i).startsWith(QLatin1String("error")))
                    ack = m_lines.takeAt(i);
            return !ack.isEmpty();
        });
        return ack.startsWith(QLatin1String("ok"));
    }

    // Requests received so far (with --log), oldest first.
    QStringList requests() const {
        QStringList result;
        for (const QString& line : m_lines)
            if (line.startsWith(QLatin1String("got ")))
                result.append(line.mid(4));
        return result;
    }
    bool waitForRequests(int count) {
        return waitFor([&] { return requests().size() >= count; });
    }

    // Ends the simulator with SIGTERM, as an operator's Ctrl+C would.
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!waitFor([this] { return m_process.state() == QProcess::NotRunning; })) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QProcess& process() { return m_process; }

    // Runs the event loop until done() holds or the time is up.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!done()) {
            if (elapsed.elapsed() > timeoutMs)
                return false;
            QEventLoop loop;
            QTimer::singleShot(10, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return true;
    }

private:
    void takeOutput() {
        m_partial += m_process.readAllStandardOutput();
        for (qsizetype end = m_partial.indexOf('\n'); end >= 0; end = m_partial.indexOf('\n')) {
            m_lines.append(QString::fromUtf8(m_partial.left(end)));
            m_partial.remove(0, end + 1);
        }
    }

    QProcess m_process;
    QByteArray m_partial;
    QStringList m_lines;
    QString m_path;
};

// Starts torvik-porthold on `path`: the port held as another program would.
inline bool HoldPort(QProcess& holder, const QString& path) {
    holder.start(QCoreApplication::applicationDirPath() + QStringLiteral("/torvik-porthold"),
                 {path});
    return holder.waitForStarted(5000) &&
           SimProcess::waitFor([&] { return holder.canReadLine(); }) &&
           holder.readLine().trimmed() == "held";
}

// Processor time of this process so far: a wait that sleeps adds next to none.
inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
