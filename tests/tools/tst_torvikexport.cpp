#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runExport(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TORVIK_EXPORT_PATH), arguments);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

class TestTorvikExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void exportWritesTheTextExport();
    void summaryPrintsItsLines_data();
    void summaryPrintsItsLines();
    void failureExitsOneWithTheReasonAndNoOutput_data();
    void failureExitsOneWithTheReasonAndNoOutput();
    void outputTheOperatorMayNotWriteExitsOne();
    void usageErrorExitsTwo_data();
    void usageErrorExitsTwo();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // The data file of a test, or a header without points when there are none.
    QString input(std::int32_t code, const QList<std::int32_t>& points) const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QString TestTorvikExport::input(std::int32_t code, const QList<std::int32_t>& points) const {
    const QString name = path("in.tdf");
    if (points.isEmpty()) {
        const QByteArray type = QByteArray::fromStdString(TestTypeNames(code));
        return writeBytes(name, dataFile({"TDF2", type, " 0", " 0", " 0", " 1", " 0"}));
    }
    if (!testOf(code, points).SaveFile(name.toStdString())) {
        qFatal("cannot save %s", qPrintable(name));
    }
    return name;
}

void TestTorvikExport::exportWritesTheTextExport() {
    const QString in = input(kTestCompression, {32768, 1000, 30720, 2000});
    const Run run = runExport({"--metric", in, path("out.txt")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(readBytes(path("out.txt")), QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                                                    "units = METRIC\r\n"
                                                    "test type = COMPRESSION\r\n"
                                                    "# data points= 2\r\n"
                                                    " 0,  0\r\n"
                                                    " 1.534,  278\r\n"));
}

void TestTorvikExport::summaryPrintsItsLines_data() {
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<QList<std::int32_t>>("points");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("compression test")
        << kTestCompression << QList<std::int32_t>{32768, 1000, 30720, 2000}
        << QByteArray("test type = COMPRESSION\n"
                      "# data points= 2\n"
                      "max load = 62.6\n"
                      "max displacement = 0.0604\n"
                      "hardness = 0\n");
    QTest::newRow("hardness test") << kTestHardness << hardnessPoints()
                                   << QByteArray("test type = HARDNESS\n"
                                                 "# data points= 5\n"
                                                 "max load = 150\n"
                                                 "max displacement = 0.015\n"
                                                 "hardness = 20\n");
    QTest::newRow("no points") << kTestTension << QList<std::int32_t>{}
                               << QByteArray("test type = TENSION\n# data points= 0\n");
}

void TestTorvikExport::summaryPrintsItsLines() {
    QFETCH(std::int32_t, code);
    QFETCH(QList<std::int32_t>, points);
    QFETCH(QByteArray, expected);
    const Run run = runExport({"--summary", input(code, points)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, expected);
    QCOMPARE(run.err, QByteArray());
}

void TestTorvikExport::failureExitsOneWithTheReasonAndNoOutput_data() {
    // <dir> stands for the folder of the input, in.tdf.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("mark");
    QTest::addColumn<QList<std::int32_t>>("points");
    QTest::addColumn<QString>("error");
    const QString invalid = "File could not be opened.  Not a valid file type.\n";
    const QStringList exportArguments = {"<dir>/in.tdf", "<dir>/out.txt"};
    QTest::newRow("wrong mark") << exportArguments << QByteArray("TDF1") << QList<std::int32_t>{}
                                << invalid;
    QTest::newRow("no points")
        << exportArguments << QByteArray("TDF2") << QList<std::int32_t>{}
        << "torvik-export: <dir>/in.tdf holds no points to export; nothing written.\n";
    QTest::newRow("unwritable output")
        << QStringList{"<dir>/in.tdf", "<dir>/missing/out.txt"} << QByteArray("TDF2")
        << QList<std::int32_t>{32768, 1000, 30720, 2000}
        << "torvik-export: could not write <dir>/missing/out.txt: Path/File access error: "
           "<dir>/missing/out.txt\n";
}

void TestTorvikExport::failureExitsOneWithTheReasonAndNoOutput() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, mark);
    QFETCH(QList<std::int32_t>, points);
    QFETCH(QString, error);
    if (mark == "TDF2") {
        input(kTestShear, points);
    } else {
        writeBytes(path("in.tdf"), dataFile({mark}));
    }
    const Run run = runExport(arguments.replaceInStrings("<dir>", m_dir->path()));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err), error.replace("<dir>", m_dir->path()));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"in.tdf"});
}

void TestTorvikExport::outputTheOperatorMayNotWriteExitsOne() {
    if (!nobodyIds()) {
        QSKIP("needs root, to make a file of another user, and the user nobody");
    }
    const QString in = input(kTestCompression, {32768, 1000, 30720, 2000});
    const QString out = writeBytes(path("out.txt"), "old");
    QCOMPARE(chmod(qPrintable(m_dir->path()), 0777), 0);
    const int code = asNobody([&] {
        const int log = open(qPrintable(path("err")), O_WRONLY | O_CREAT, 0644);
        dup2(log, STDERR_FILENO);
        execl(TORVIK_EXPORT_PATH, TORVIK_EXPORT_PATH, qPrintable(in), qPrintable(out), nullptr);
        return 126;
    });
    QCOMPARE(code, 1);
    QCOMPARE(readBytes(out), QByteArray("old"));
    QCOMPARE(readBytes(path("err")), "torvik-export: could not write " + out.toUtf8() +
                                         ": Permission denied: " + out.toUtf8() + "\n");
}

void TestTorvikExport::usageErrorExitsTwo_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("export without output") << QStringList{"in.tdf"};
    QTest::newRow("summary with two files") << QStringList{"--summary", "in.tdf", "out.txt"};
    QTest::newRow("unknown option") << QStringList{"--imperial", "in.tdf", "out.txt"};
}

void TestTorvikExport::usageErrorExitsTwo() {
    QFETCH(QStringList, arguments);
    const Run run = runExport(arguments);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(run.err.startsWith("usage: torvik-export [--metric] INPUT.tdf OUTPUT.txt\n"));
}

QTEST_GUILESS_MAIN(TestTorvikExport)
#include "tst_torvikexport.moc"
