#pragma once

// Fakes and helpers shared by the model and command-line tool tests.

#include "model/eventpump.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/operatormessages.h"

#include <QByteArrayList>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cmath>
#include <cstdint>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Collects the operator messages the model reports instead of showing them.
class RecordingMessages : public OperatorMessages {
public:
    void Inform(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// A whole-second clock that moves only when told. Waiting jumps the clock to
// the second asked for; `secondsPerPass` moves it while events are processed.
class FakePump : public EventPump {
public:
    std::int64_t WholeSeconds() override { return now; }
    void ProcessPendingEvents() override {
        ++passes;
        now += secondsPerPass;
    }
    void WaitUntilSecond(std::int64_t second) override {
        waits.push_back(second);
        if (now < second) {
            now = second;
        }
    }

    std::int64_t now = 1'000'000;
    std::int64_t secondsPerPass = 0;
    int passes = 0;
    std::vector<std::int64_t> waits;
};

// The rows of a tab-separated file in the tests' data folder, '#' lines left
// out; in a field \t, \n, \r, \0 and \\ stand for those characters.
inline QList<QByteArrayList> dataRows(const char* fileName) {
    QFile file(QByteArray(TORVIK_TEST_DATA) + fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(file.fileName()));
    }
    const QByteArray escapes("t\tn\nr\r0\0", 8);
    QList<QByteArrayList> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        rows << line.split('\t');
        for (QByteArray& field : rows.last()) {
            for (qsizetype i = field.indexOf('\\'); i >= 0; i = field.indexOf('\\', i + 1)) {
                const qsizetype code = escapes.indexOf(field.mid(i + 1, 1));
                field.replace(i, 2,
                              code >= 0 && code % 2 == 0 ? escapes.mid(code + 1, 1)
                                                         : field.mid(i + 1, 1));
            }
        }
    }
    return rows;
}

// Single-precision values compared bit for bit, shown with every digit.
inline QString exactSingle(float value) {
    return QString::asprintf("%.9g%s", static_cast<double>(value),
                             value == 0.0f && std::signbit(value) ? " (negative zero)" : "");
}

// A data file: the header lines, zeros up to offset 99, then the records.
inline QByteArray dataFile(const QByteArrayList& lines, const QList<std::int32_t>& body = {}) {
    QByteArray bytes = lines.join("\r\n") + "\r\n";
    bytes.resize(99, '\0');
    for (const std::int32_t value : body) {
        char le[4];
        qToLittleEndian(value, le);
        bytes.append(le, 4);
    }
    return bytes;
}

inline QString writeBytes(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(name));
    }
    return name;
}

inline QByteArray readBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

// Points at ratio 1, each pair a load and a displacement reading.
inline Experiment testOf(std::int32_t code, const QList<std::int32_t>& points) {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(code);
    for (qsizetype i = 0; i + 1 < points.size(); i += 2) {
        experiment.AddDataPoint(points[i], points[i + 1]);
    }
    return experiment;
}

// A tension test of a 0.125 x 0.5 x 2 in coupon: the load rises straight
// over a quarter of 400 steps to 400 lbf (6400 psi), stays there while it
// yields, then falls to nothing at the break.
inline Experiment tensionCoupon() {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    const int steps = 400;
    for (int i = 0; i <= steps; ++i)
        experiment.AddDataPoint(32768 + 13107 * std::min(i, steps / 4) / (steps / 4),
                                60000 - 4804 * i / steps);
    experiment.AddDataPoint(32768, 60000 - 4804);
    SpecimenRecord s;
    s.thickness = 0.125f;
    s.width = 0.5f;
    s.length = 2.0f;
    experiment.SetSpecimen(s);
    return experiment;
}

// Readings of a hardness test, load then displacement: 0, 0.0025, 0.005,
// 0.010 and 0.015 inch after the frame's deflection under 0, 20, 50, 100 and
// 150 lbf. The marks at 0.005 and 0.015 inch give 10000 lbf per inch: 20.
inline QList<std::int32_t> hardnessPoints(int points = 5) {
    const std::int32_t loads[] = {32768, 32768 - 655, 32768 - 1638, 32768 - 3277, 32768 - 4915};
    const std::int32_t disps[] = {1000, 1044, 1090, 1180, 1270};
    QList<std::int32_t> readings;
    for (int i = 0; i < points; ++i) {
        readings << loads[i] << disps[i];
    }
    return readings;
}

// Runs `operation` in a child process as the unprivileged user nobody, a
// member of `group` too when one is given, and returns its exit code; -1 when
// it could not run, as it cannot unless this test runs as root.
inline int asNobody(const std::function<int()>& operation, int group = -1) {
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || nobody == nullptr) {
        return -1;
    }
    const uid_t user = nobody->pw_uid;
    const gid_t own = nobody->pw_gid;
    const gid_t member = group < 0 ? own : static_cast<gid_t>(group);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgroups(1, &member) == 0 && setgid(own) == 0 && setuid(user) == 0;
        _exit(dropped ? operation() : 125);
    }
    int status = 0;
    const bool exited = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status);
    return exited ? WEXITSTATUS(status) : -1;
}
