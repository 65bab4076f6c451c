#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

class TestTorvikExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void exitCodeOutputAndMessages_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("oldOutput");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("errors");
        for (const QByteArrayList& row : dataRows("../../tools/data/torvikexport.tsv")) {
            QTest::newRow(row[0]) << QString(row[1]).split(' ', Qt::SkipEmptyParts) << row[2]
                                  << row[3].toInt() << row[4] << row[5];
        }
    }

    void exitCodeOutputAndMessages() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, oldOutput);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, errors);
        QVERIFY(testOf(kTestCompression, {32768, 1000, 30720, 2000})
                    .SaveFile(path("in.tdf").toStdString()));
        // The property fixtures: a.tdf and "b,1.tdf" are compression tests, the
        // second breaking after its peak; c.tdf a hardness test of 20; huge.tdf
        // is a.tdf with a ratio of 1e30. Hand check of a.tdf: 328 counts a step
        // are 10 lbf, 100 counts 0.0061 inch less 0.0001 of the frame's
        // deflection; no drop after the peak; the stiffness is that of the
        // readings, 10.0098 lbf a step over 0.0060036 inch.
        for (const char* name : {"a.tdf", "b,1.tdf", "c.tdf", "huge.tdf"}) {
            QVERIFY(QFile::copy(TORVIK_TEST_DATA "properties/" + QString(name), path(name)));
        }
        // t.tdf: a tension test whose file holds its specimen, 1 x 1 x 1 in.
        QVERIFY(QFile::copy(TORVIK_TEST_DATA "view/tension-specimen.tdf", path("t.tdf")));
        // s.tdf: a shear test, 10 lbf a step to 40 lbf, then the break;
        // coupon.tdf: a tension coupon with its dimensions in its file.
        QVERIFY(testOf(kTestShear, {32768, 1000, 32440, 1100, 32112, 1200, 31784, 1300, 31456, 1400,
                                    32700, 1410})
                    .SaveFile(path("s.tdf").toStdString()));
        QVERIFY(tensionCoupon().SaveFile(path("coupon.tdf").toStdString()));
        writeBytes(path("none.tdf"), dataFile({"TDF2", "TENSION", " 0", " 0", " 0", " 1", " 0"}));
        writeBytes(path("bad.tdf"), "TDF1\r\n");
        // Damaged: a calibration or a reading no machine gives.
        const auto damaged = [&](const char* name, const QByteArray& ratio,
                                 const QByteArray& offset, std::int32_t load2) {
            writeBytes(path(name),
                       dataFile({"TDF2", "COMPRESSION", " 3", " 3000", " 29000", ratio, offset},
                                {1000, 32768, 2000, load2, 3000, 29000}));
        };
        damaged("offset.tdf", " 1", " 2147483647", 30720);
        damaged("ratio.tdf", " 3.4E+38", " 0", 30720);
        damaged("reading.tdf", " 1", " 0", 2147483647);
        const QString out = path("out.txt");
        if (oldOutput.startsWith("->")) {
            QVERIFY(QFile::link(oldOutput.mid(2), out));
        } else if (!oldOutput.isEmpty()) {
            writeBytes(out, oldOutput);
        }
        QProcess process;
        process.setWorkingDirectory(m_dir->path());
        process.start(TORVIK_EXPORT_PATH, arguments);
        QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
        QCOMPARE(process.readAllStandardOutput() + (QFile::exists(out) ? readBytes(out) : ""),
                 output);
        const QByteArray actualErrors = process.readAllStandardError();
        QVERIFY2(errors.isEmpty() ? actualErrors.isEmpty() : actualErrors.startsWith(errors),
                 actualErrors);
        QCOMPARE(process.exitCode(), exitCode);
    }

    void outputTheOperatorMayNotWriteExitsOne() {
        if (asNobody([] { return 0; }) != 0) {
            QSKIP("needs root, to make a file of another user, and the user nobody");
        }
        const QString in = path("in.tdf");
        QVERIFY(testOf(kTestCompression, {32768, 1000, 30720, 2000}).SaveFile(in.toStdString()));
        const QString out = writeBytes(path("out.txt"), "old");
        // nobody runs a copy: the build tree may lie where nobody cannot enter.
        const QString program = path("torvik-export");
        QVERIFY(QFile::copy(TORVIK_EXPORT_PATH, program));
        QCOMPARE(chmod(qPrintable(m_dir->path()), 0777), 0);
        const int code = asNobody([&] {
            const int log = open(qPrintable(path("err")), O_WRONLY | O_CREAT, 0644);
            dup2(log, STDERR_FILENO);
            execl(qPrintable(program), qPrintable(program), qPrintable(in), qPrintable(out),
                  nullptr);
            return 126;
        });
        if (code == 126)
            QSKIP(qPrintable("nobody cannot run a copy of torvik-export in " + m_dir->path()));
        QCOMPARE(code, 1);
        QCOMPARE(readBytes(out), QByteArray("old"));
        QCOMPARE(readBytes(path("err")), "torvik-export: could not write " + out.toUtf8() +
                                             ": Permission denied: " + out.toUtf8() + "\n");
    }

    // What a power cut can leave is the old file or the new one, whole: the
    // output is synced before it takes its name, and its folder after.
    void outputReachesTheDiskBeforeItTakesItsName() {
        const QString in = path("in.tdf");
        QVERIFY(testOf(kTestCompression, {32768, 1000, 30720, 2000}).SaveFile(in.toStdString()));
        writeBytes(path("out.txt"), "old");
        QProcess strace;
        strace.start("strace", {"-f", "-qq", "-o", path("calls"), "-e",
                                "trace=openat,fsync,fdatasync,rename,renameat,renameat2",
                                TORVIK_EXPORT_PATH, in, path("out.txt")});
        if (!strace.waitForFinished(30000) || strace.exitCode() != 0)
            QSKIP(qPrintable("strace could not trace torvik-export: " +
                             strace.readAllStandardError()));
        // Each call as "name fd-or-path", in the order made.
        QStringList calls;
        const QRegularExpression call("(\\w+)\\((?:AT_FDCWD, )?\"?([^\",)]*)\"?.*= (-?\\d+)");
        for (const QString& line : QString(readBytes(path("calls"))).split('\n')) {
            const QRegularExpressionMatch match = call.match(line);
            if (match.hasMatch() && match.captured(3) != "-1")
                calls << match.captured(1) + ' ' +
                             (match.captured(1) == "openat"
                                  ? match.captured(2).section('/', -1) + " = " + match.captured(3)
                                  : match.captured(2));
        }
        const auto opened = [&](const QString& name) {
            const QStringList found = calls.filter(QRegularExpression("^openat " + name + " = "));
            return found.isEmpty() ? QString("none") : found.constLast().section(" = ", 1);
        };
        const QString temporary = opened("\\.out\\.txt\\.tmp\\d+");
        const QString folder = opened(QRegularExpression::escape(m_dir->path().section('/', -1)));
        const qsizetype renamed = calls.indexOf(QRegularExpression("^rename.*"));
        QVERIFY2(renamed > 0 && calls.indexOf("fsync " + temporary) == renamed - 1 &&
                     calls.indexOf("fsync " + folder, renamed) > renamed,
                 qPrintable(calls.join(" | ")));
        QVERIFY(readBytes(path("out.txt")).startsWith("TORVIK EXPERIMENT DATA FILE"));
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestTorvikExport)
#include "tst_torvikexport.moc"
