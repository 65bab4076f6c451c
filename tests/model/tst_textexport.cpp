#include "model/experiment.h"
#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <stdexcept>

class TestTextExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void exportReplacesFileWithHeaderAndOnePointLineEach_data();
    void exportReplacesFileWithHeaderAndOnePointLineEach();
    void noPointsOrBadUnitsWriteNothing();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTextExport::exportReplacesFileWithHeaderAndOnePointLineEach_data() {
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<std::int32_t>("units");
    QTest::addColumn<QList<std::int32_t>>("points"); // load, disp, load, disp...
    QTest::addColumn<QByteArray>("expected");
    // Point 1 of a tension test turns into negative zeros: written as zeros.
    QTest::newRow("tension metric")
        << kTestTension << kUnitsMetric << QList<std::int32_t>{32768, 5000, 34816, 4000}
        << QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                      "units = METRIC\r\n"
                      "test type = TENSION\r\n"
                      "# data points= 2\r\n"
                      " 0,  0\r\n"
                      " 1.534,  278\r\n");
    // Point 3: 255.2 lbf more than point 1's 0.2 and no travel, a deflection
    // of exactly half a step, rounded from the double difference; point 4 is
    // on the tension side, negative without a test type's direction.
    QTest::newRow("no test type, english")
        << kTestNone << kUnitsEnglish
        << QList<std::int32_t>{32760, 30000, 17019, 37870, 24408, 30000, 34816, 30000}
        << QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                      "units = ENGLISH\r\n"
                      "test type = \r\n"
                      "# data points= 4\r\n"
                      " 0,  .2\r\n"
                      " .4755,  480.6\r\n"
                      "-.0025,  255.2\r\n"
                      "-.0006, -62.6\r\n");
}

void TestTextExport::exportReplacesFileWithHeaderAndOnePointLineEach() {
    QFETCH(std::int32_t, code);
    QFETCH(std::int32_t, units);
    QFETCH(QList<std::int32_t>, points);
    QFETCH(QByteArray, expected);
    const QString name = writeBytes(path("out.txt"), QByteArray(10000, 'x'));
    QVERIFY(testOf(code, points).Export(name.toStdString(), units));
    QCOMPARE(readBytes(name), expected);
    QCOMPARE(files(), QStringList{"out.txt"});
}

void TestTextExport::noPointsOrBadUnitsWriteNothing() {
    Experiment experiment;
    experiment.SetTestType(kTestTension);
    QVERIFY(!experiment.Export(path("none.txt").toStdString(), kUnitsMetric));
    experiment.AddDataPoint(32768, 0);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                             experiment.Export(path("bad.txt").toStdString(), 3));
    QVERIFY(files().isEmpty());
}

QTEST_APPLESS_MAIN(TestTextExport)
#include "tst_textexport.moc"
