#include "model/experiment.h"
#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <stdexcept>

namespace {

const char kInvalidFile[] = "File could not be opened.  Not a valid file type.";

Experiment sampleTest(std::int32_t code, std::int32_t points) {
    Experiment experiment;
    experiment.SetLoadCellRatio(3.906f / 4.0f);
    experiment.SetLoadCellOffset(-12);
    experiment.SetTestType(code);
    for (std::int32_t i = 0; i < points; ++i) {
        experiment.AddDataPoint(32768 - 7 * i * (i % 3), 1000 + 13 * i);
    }
    return experiment;
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void savedFileHasHeaderLinesAndRecordsFromOffset99() {
        Experiment experiment = testOf(kTestCompression, {32768, 1000, 29000, 1500, -2, 70000});
        QVERIFY(experiment.SaveFile(path("c.tdf").toStdString()));
        QCOMPARE(readBytes(path("c.tdf")),
                 dataFile({"TDF2", "COMPRESSION", " 3", " 70000", "-2", " 1", " 0"},
                          {1000, 32768, 1500, 29000, 70000, -2}));
    }

    void roundTripRestoresEveryTestType_data() {
        QTest::addColumn<std::int32_t>("code");
        QTest::addColumn<std::int32_t>("points");
        for (std::int32_t code = kTestHardness; code <= kTestStructures; ++code) {
            QTest::newRow(TestTypeNames(code).c_str()) << code << 50;
        }
        QTest::newRow("body read in several pieces") << kTestCompression << 20001;
    }

    void roundTripRestoresEveryTestType() {
        QFETCH(std::int32_t, code);
        QFETCH(std::int32_t, points);
        const Experiment saved = sampleTest(code, points);
        const std::string name = path("round trip.tdf").toStdString();
        QVERIFY(saved.SaveFile(name));
        Experiment loaded;
        RecordingMessages messages;
        // As a command line may give it: in double quotes.
        QVERIFY(loaded.LoadFile('"' + name + '"', messages));
        QVERIFY(messages.texts.empty());
        QCOMPARE(loaded.TestType(), code);
        QCOMPARE(loaded.Count(), points);
        for (std::int32_t i = 1; i <= points; ++i) {
            QCOMPARE(loaded.DigitalLoad().Value(i), saved.DigitalLoad().Value(i));
            QCOMPARE(loaded.DigitalDisplacement().Value(i), saved.DigitalDisplacement().Value(i));
        }
        QCOMPARE(loaded.LoadCellOffset(), -12);
        QCOMPARE(NumberText(loaded.LoadCellRatio()), std::string(" .9765"));
    }

    void loadingReplacesWholeContentAndTakesHeaderAsWritten() {
        // Points go straight into the series: nothing recomputes the extremes,
        // and readings outside 0 to 65535 are not checked.
        Experiment experiment = sampleTest(kTestShear, 10);
        experiment.SetSampleThickness(2.0f);
        experiment.SetSampleWidth(3.0f);
        experiment.SetSampleLength(4.0f);
        QCOMPARE(load(experiment, dataFile({"TDF2", "TENSION", " 2", " 123", " 456", " .5", "-7"},
                                           {-1, 70000, 9, 10})),
                 std::string());
        QCOMPARE(experiment.Count(), 2);
        QCOMPARE(experiment.DigitalDisplacement().Length(), 2);
        QCOMPARE(experiment.TestType(), kTestTension);
        QCOMPARE(experiment.SampleThickness(), 0.0f);
        QCOMPARE(experiment.SampleWidth(), 0.0f);
        QCOMPARE(experiment.SampleLength(), 1.0f);
        QCOMPARE(experiment.MaxDisplacementDigital(), 123.0f);
        QCOMPARE(experiment.MaxLoadDigital(), 456);
        QCOMPARE(experiment.LoadCellRatio(), 0.5f);
        QCOMPARE(experiment.LoadCellOffset(), -7);
        QCOMPARE(experiment.DigitalDisplacement().Value(1), -1);
        QCOMPARE(experiment.DigitalLoad().Value(1), 70000);
        QCOMPARE(experiment.DigitalLoad().Value(2), 10);
    }

    void headersAreReadAsWrittenOrRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<std::int32_t>("code");
        QTest::addColumn<std::int32_t>("count"); // -1: refused
        for (const QByteArrayList& row : dataRows("datafileheaders.tsv")) {
            QByteArray bytes = row[1];
            bytes.resize(99, '\0');
            QTest::newRow(row[0]) << bytes + QByteArray(16, '\x01') << row.value(4).toLongLong()
                                  << row[2].toInt() << row[3].toInt();
        }
        // The file goes on past the 64 KiB that are read as its header.
        QTest::newRow("offset field runs past the header")
            << QByteArray("TDF2\r\nSHEAR\r\n 0\r\n 0\r\n 0\r\n 1\r\n ") + QByteArray(70000, '0') +
                   "1\r\n"
            << qint64{0} << kTestShear << -1;
    }

    // A refused file keeps what was read before the failure on a cleared test.
    // Bytes after the points counted are no specimen block: the points are
    // read and the operator told.
    void headersAreReadAsWrittenOrRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, length);
        QFETCH(std::int32_t, code);
        QFETCH(std::int32_t, count);
        Experiment experiment = sampleTest(kTestShear, 5);
        const bool bytesAfter = std::max(length, qint64(bytes.size())) > 99 + 8 * qint64(count);
        QCOMPARE(load(experiment, bytes, length),
                 count < 0    ? std::string("(failed) ") + kInvalidFile
                 : bytesAfter ? std::string(kSpecimenUnreadableMessage)
                              : std::string());
        QCOMPARE(experiment.Count(), std::max(count, 0));
        QCOMPARE(experiment.TestType(), code);
    }

    void saveWithoutPointsOrFolderWritesNothing() {
        Experiment experiment;
        experiment.SetTestType(kTestCompression);
        QVERIFY(!experiment.SaveFile(path("empty.tdf").toStdString()));
        experiment.AddDataPoint(32768, 1000);
        QVERIFY_THROWS_EXCEPTION(FileWriteError,
                                 experiment.SaveFile(path("no/such/folder.tdf").toStdString()));
        QVERIFY(files().isEmpty());
    }

    void exportReplacesFileWithHeaderAndOnePointLineEach_data() {
        QTest::addColumn<std::int32_t>("code");
        QTest::addColumn<std::int32_t>("units");
        QTest::addColumn<QList<std::int32_t>>("points");
        QTest::addColumn<QByteArray>("expected");
        for (const QByteArrayList& row : dataRows("textexports.tsv")) {
            QList<std::int32_t> points;
            for (const QByteArray& reading : row[3].split(' ')) {
                points << reading.toInt();
            }
            QTest::newRow(row[0]) << row[1].toInt() << row[2].toInt() << points << row[4];
        }
    }

    void exportReplacesFileWithHeaderAndOnePointLineEach() {
        QFETCH(std::int32_t, code);
        QFETCH(std::int32_t, units);
        QFETCH(QList<std::int32_t>, points);
        QFETCH(QByteArray, expected);
        const QString name = writeBytes(path("out.txt"), QByteArray(10000, 'x'));
        QVERIFY(testOf(code, points).Export(name.toStdString(), units));
        QCOMPARE(readBytes(name), expected);
        QCOMPARE(files(), QStringList{"out.txt"});
    }

    void noPointsOrBadUnitsWriteNothing() {
        Experiment experiment;
        experiment.SetTestType(kTestTension);
        QVERIFY(!experiment.Export(path("none.txt").toStdString(), kUnitsMetric));
        experiment.AddDataPoint(32768, 0);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                                 experiment.Export(path("bad.txt").toStdString(), 3));
        QVERIFY(files().isEmpty());
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden); }
    // Loads `bytes` as a file, made `length` bytes long when that is longer: a
    // sparse file, whose length claims points the disk does not hold. The
    // operator's messages joined, empty on success.
    std::string load(Experiment& experiment, const QByteArray& bytes, qint64 length = 0) const {
        const QString name = writeBytes(path("test.tdf"), bytes);
        if (length > bytes.size() && !QFile::resize(name, length)) {
            return "(cannot make a sparse file)";
        }
        RecordingMessages messages;
        const bool loaded = experiment.LoadFile(name.toStdString(), messages);
        std::string texts = loaded ? "" : "(failed) ";
        for (const std::string& text : messages.texts) {
            texts += text;
        }
        return texts;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_APPLESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
