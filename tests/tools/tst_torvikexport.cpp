#include "model/experiment.h"
#include "model/gfunctions.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

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

// A compression test of two points at ratio 1: 62.6 lbf (278 N) after
// 0.0604 inch (1.534 mm) of travel less the frame's deflection.
Experiment compressionTest() {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestCompression);
    experiment.AddDataPoint(32768, 1000);
    experiment.AddDataPoint(30720, 2000);
    return experiment;
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
    void exportWritesTheTextExport_data();
    void exportWritesTheTextExport();
    void summaryPrintsFiveLines_data();
    void summaryPrintsFiveLines();
    void summaryOfFileWithoutPointsPrintsTwoLines();
    void summaryOfHardnessTestGivesItsNumber();
    void fileThatCannotBeLoadedExitsOne_data();
    void fileThatCannotBeLoadedExitsOne();
    void fileWithoutPointsWritesNoExport();
    void unwritableOutputExitsOne();
    void usageErrorExitsTwo_data();
    void usageErrorExitsTwo();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString save(const Experiment& experiment, const QString& name = "in.tdf") const;
    QString writeBytes(const QByteArray& bytes, const QString& name = "in.tdf") const;
    QByteArray readBytes(const QString& name) const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QString TestTorvikExport::save(const Experiment& experiment, const QString& name) const {
    if (!experiment.SaveFile(path(name).toStdString())) {
        qFatal("cannot save %s", qPrintable(name));
    }
    return path(name);
}

QString TestTorvikExport::writeBytes(const QByteArray& bytes, const QString& name) const {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(name));
    }
    return path(name);
}

QByteArray TestTorvikExport::readBytes(const QString& name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

void TestTorvikExport::exportWritesTheTextExport_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("english") << QStringList{}
                             << QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                                           "units = ENGLISH\r\n"
                                           "test type = COMPRESSION\r\n"
                                           "# data points= 2\r\n"
                                           " 0,  0\r\n"
                                           " .0604,  62.6\r\n");
    QTest::newRow("metric") << QStringList{"--metric"}
                            << QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                                          "units = METRIC\r\n"
                                          "test type = COMPRESSION\r\n"
                                          "# data points= 2\r\n"
                                          " 0,  0\r\n"
                                          " 1.534,  278\r\n");
}

void TestTorvikExport::exportWritesTheTextExport() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, expected);
    const QString input = save(compressionTest());
    const Run run = runExport(options + QStringList{input, path("out.txt")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(readBytes("out.txt"), expected);
}

void TestTorvikExport::summaryPrintsFiveLines_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("english") << QStringList{"--summary"}
                             << QByteArray("test type = COMPRESSION\n"
                                           "# data points= 2\n"
                                           "max load = 62.6\n"
                                           "max displacement = 0.0604\n"
                                           "hardness = 0\n");
    QTest::newRow("metric") << QStringList{"--summary", "--metric"}
                            << QByteArray("test type = COMPRESSION\n"
                                          "# data points= 2\n"
                                          "max load = 278\n"
                                          "max displacement = 1.534\n"
                                          "hardness = 0\n");
}

void TestTorvikExport::summaryPrintsFiveLines() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, expected);
    const Run run = runExport(options + QStringList{save(compressionTest())});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, expected);
    QCOMPARE(run.err, QByteArray());
}

void TestTorvikExport::summaryOfFileWithoutPointsPrintsTwoLines() {
    QByteArray bytes("TDF2\r\nTENSION\r\n 0\r\n 0\r\n 0\r\n 1\r\n 0\r\n");
    const Run run = runExport({"--summary", writeBytes(bytes)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("test type = TENSION\n# data points= 0\n"));
}

void TestTorvikExport::summaryOfHardnessTestGivesItsNumber() {
    // 0.005 to 0.015 inch under 50 to 150 lbf: 10000 lbf per inch.
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestHardness);
    const std::int32_t loads[] = {32768, 32768 - 655, 32768 - 1638, 32768 - 3277, 32768 - 4915};
    const std::int32_t disps[] = {1000, 1044, 1090, 1180, 1270};
    for (int i = 0; i < 5; ++i) {
        experiment.AddDataPoint(loads[i], disps[i]);
    }
    const Run run = runExport({"--summary", save(experiment)});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.split('\n').value(4), QByteArray("hardness = 20"));
}

void TestTorvikExport::fileThatCannotBeLoadedExitsOne_data() {
    QTest::addColumn<bool>("summary");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("wrong mark") << false << QByteArray("TDF1\r\n");
    QTest::newRow("summary of wrong mark") << true << QByteArray("TDF1\r\n");
    QTest::newRow("count beyond body")
        << false << QByteArray("TDF2\r\nSHEAR\r\n 9\r\n 0\r\n 0\r\n 1\r\n 0\r\n");
}

void TestTorvikExport::fileThatCannotBeLoadedExitsOne() {
    QFETCH(bool, summary);
    QFETCH(QByteArray, bytes);
    const QString input = writeBytes(bytes);
    const Run run =
        runExport(summary ? QStringList{"--summary", input} : QStringList{input, path("out.txt")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, QByteArray("File could not be opened.  Not a valid file type.\n"));
    QVERIFY(!QFile::exists(path("out.txt")));
}

void TestTorvikExport::fileWithoutPointsWritesNoExport() {
    const QString input = writeBytes("TDF2\r\nSHEAR\r\n 0\r\n 0\r\n 0\r\n 1\r\n 0\r\n");
    const Run run = runExport({input, path("out.txt")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("no points"));
    QVERIFY(!QFile::exists(path("out.txt")));
}

void TestTorvikExport::unwritableOutputExitsOne() {
    const Run run = runExport({save(compressionTest()), path("missing/out.txt")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("could not write"));
}

void TestTorvikExport::usageErrorExitsTwo_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("export without output") << QStringList{"in.tdf"};
    QTest::newRow("summary with two files") << QStringList{"--summary", "in.tdf", "out.txt"};
    QTest::newRow("three files") << QStringList{"a.tdf", "b.txt", "c.txt"};
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
