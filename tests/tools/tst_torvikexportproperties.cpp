#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// torvik-export --properties, run as the operator runs it.
class TestTorvikExportProperties : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void rowsAndStatistics_data();
    void rowsAndStatistics();

private:
    QTemporaryDir m_dir;
};

// Two compression tests, the second breaking after its peak, a hardness
// test without a break, and a file that is no data file.
void TestTorvikExportProperties::initTestCase() {
    InitNameTables();
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    const auto save = [](const Experiment& experiment, const char* name) {
        QVERIFY(experiment.SaveFile(name));
    };
    save(testOf(kTestCompression, {32768, 1000, 32440, 1100, 32112, 1200, 31784, 1300}), "a.tdf");
    save(
        testOf(kTestCompression, {32768, 1000, 32112, 1100, 31456, 1200, 30800, 1300, 32700, 1310}),
        "b,1.tdf");
    save(testOf(kTestHardness, hardnessPoints()), "c.tdf");
    writeBytes("bad.tdf", dataFile({"TDF1"}));
}

void TestTorvikExportProperties::rowsAndStatistics_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QByteArray english =
        "File,Test type,Points,Peak load (lbf),Displacement at peak (inch),Break point,"
        "Load at break (lbf),Displacement at break (inch),Energy to peak (lbf*inch),"
        "Energy to break (lbf*inch),Stiffness (lbf/inch),Stiffness from point,"
        "Stiffness to point,Ultimate tensile strength (lbs/sq. inch),"
        "Young's modulus (lbs/sq. inch),Yield strength at 0.2% offset (lbs/sq. inch),"
        "Elongation at break (%)\n";
    QByteArray metric = english;
    for (const auto& [from, to] : {std::pair{"(lbf)", "(N)"},
                                   {"(inch)", "(mm)"},
                                   {"(lbf*inch)", "(J)"},
                                   {"(lbf/inch)", "(N/mm)"},
                                   {"(lbs/sq. inch)", "(Pa)"}})
        metric.replace(from, to);
    // Hand check of a.tdf: 328 counts a step are 10 lbf, 100 counts 0.0061
    // inch less 0.0001 of the frame's deflection; no drop after the peak.
    const QByteArray a = "a.tdf,COMPRESSION,4,30,0.018,,,,0.27,,1666.667,1,3,,,,\n";
    QTest::newRow("one file") << QStringList{"--properties", "a.tdf"} << 0 << english + a
                              << QByteArray();
    // The statistics skip what a file does not have (b's break alone) and
    // point numbers; the file name with a comma is quoted.
    QTest::newRow("specimen set")
        << QStringList{"--properties", "a.tdf", "b,1.tdf", "c.tdf"} << 0
        << english + a +
               "\"b,1.tdf\",COMPRESSION,5,60,0.0177,4,60,0.0177,0.531,0.531,3389.83,1,3,,,,\n"
               "c.tdf,HARDNESS,5,150,0.015,,,,1.1125,,10571.43,2,4,,,,\n"
               "Mean,,,80,0.0169,,60,0.0177,0.6378333,0.531,5209.309,,,,,,\n"
               "Standard deviation,,,62.44998,0.001652271,,,,0.4312906,,4722.983,,,,,,\n"
               "Coefficient of variation (%),,,78.06248,9.776752,,,,67.61807,,90.66431,,,,,,\n"
        << QByteArray();
    // A file that does not load is left out, the others still listed.
    QTest::newRow("metric, one file not a data file")
        << QStringList{"--properties", "--metric", "a.tdf", "bad.tdf"} << 1
        << metric + "a.tdf,COMPRESSION,4,134,0.458,,,,0.030775,,292.7632,1,3,,,,\n"
        << QByteArray("File could not be opened.  Not a valid file type.\n"
                      "torvik-export: bad.tdf left out.\n");
    QTest::newRow("no file") << QStringList{"--properties"} << 2 << QByteArray()
                             << QByteArray("usage: torvik-export");
}

void TestTorvikExportProperties::rowsAndStatistics() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QProcess process;
    process.start(QStringLiteral(TORVIK_EXPORT_PATH), arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.readAllStandardOutput(), out);
    const QByteArray actualErr = process.readAllStandardError();
    QVERIFY2(err.isEmpty() ? actualErr.isEmpty() : actualErr.startsWith(err), actualErr);
    QCOMPARE(process.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestTorvikExportProperties)
#include "tst_torvikexportproperties.moc"
