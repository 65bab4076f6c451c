#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/journalformat.h"
#include "model/specimen.h"
#include "model/testproperties.h"
#include "modelfakes.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// Every field given, with texts that need the block's escapes.
SpecimenRecord fullRecord(SpecimenShape shape) {
    SpecimenRecord s;
    s.name = "A-7 = coupon";
    s.material = "6061-T6, \\annealed\\";
    s.operatorName = "J. Ruiz";
    s.notes = "line one\r\nline two\nthird = last";
    s.shape = shape;
    s.thickness = 0.125f;
    s.width = 0.5f;
    s.diameter = 0.252f;
    s.length = 2.0f;
    s.gaugeLength = 1.4f;
    s.finalLength = 2.2932f;
    s.finalWidth = 0.41f;
    s.finalThickness = 0.1f;
    s.finalDiameter = 0.2f;
    s.beganSeconds = 1'796'000'123;
    s.shear = ShearConfiguration::Punch;
    s.shearDiameter = 0.375f;
    s.shearPlanes = 2;
    s.shearLength = 1.5f;
    s.structure = StructureKind::FourPoint;
    s.span = 4.0f;
    s.loadingSpan = 1.25f;
    s.windowBasis = ModulusWindow::Stress;
    s.windowFrom = 5000.0f;
    s.windowTo = 20000.0f;
    s.proofOffset = 0.5f;
    s.firstLocalMaximum = true;
    s.excluded = "broke in the grip";
    return s;
}

// A tension test of a 0.125 x 0.5 x 2 in coupon: the load rises to 400 lbf
// (6400 psi) over 0.2932 in of travel, then drops at the break.
Experiment coupon() {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    const int steps = 40;
    for (int i = 0; i <= steps; ++i) {
        const int load = 32768 + 13107 * std::min(i, steps / 4) / (steps / 4);
        experiment.AddDataPoint(load, 60000 - 4804 * i / steps);
    }
    experiment.AddDataPoint(32768, 60000 - 4804);
    SpecimenRecord s;
    s.thickness = 0.125f;
    s.width = 0.5f;
    s.length = 2.0f;
    experiment.SetSpecimen(s);
    return experiment;
}

// A reader that knows only the data file's description: seven header lines,
// then N records of raw displacement and raw load from byte 99.
struct PlainReading {
    QByteArrayList header;
    std::vector<std::pair<qint32, qint32>> records;
};
PlainReading readPlainly(const QByteArray& bytes) {
    PlainReading reading;
    qsizetype at = 0;
    for (int line = 0; line < 7; ++line) {
        const qsizetype end = bytes.indexOf("\r\n", at);
        reading.header << bytes.mid(at, end - at);
        at = end + 2;
    }
    const int count = reading.header[2].trimmed().toInt();
    for (int i = 0; i < count; ++i) {
        const char* record = bytes.constData() + 99 + 8 * i;
        reading.records.emplace_back(qFromLittleEndian<qint32>(record),
                                     qFromLittleEndian<qint32>(record + 4));
    }
    return reading;
}

// A block as the description has it, whose payload of `bytes` holds a name
// and lines of a field this version does not know; its CRC-32 worked out
// bit by bit, as zip does.
QByteArray wellFormedBlock(std::size_t bytes) {
    QByteArray payload = "length-unit=inch\r\nspecimen=Big\r\n";
    while (payload.size() < qsizetype(bytes))
        payload += "later-field=" + QByteArray(100, 'x') + "\r\n";
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : payload) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ ((crc & 1u) ? 0xEDB88320u : 0u);
    }
    return "TORVIK SPECIMEN\r\nVERSION 1\r\nBYTES " + QByteArray::number(payload.size()) +
           "\r\nCRC32 " + QByteArray::number(~crc, 16).rightJustified(8, '0') + "\r\n" + payload;
}

} // namespace

class TestSpecimen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void everyFieldSurvivesSaveAndOpen_data() {
        QTest::addColumn<SpecimenShape>("shape");
        QTest::newRow("rectangular") << SpecimenShape::Rectangular;
        QTest::newRow("round") << SpecimenShape::Round;
    }
    void everyFieldSurvivesSaveAndOpen() {
        QFETCH(SpecimenShape, shape);
        Experiment saved = coupon();
        saved.SetSpecimen(fullRecord(shape));
        QVERIFY(saved.SaveFile(path("s.tdf")));
        Experiment opened;
        RecordingMessages messages;
        QVERIFY(opened.LoadFile(path("s.tdf"), messages));
        QVERIFY(messages.texts.empty());
        QVERIFY(opened.specimen() == fullRecord(shape));
    }

    // The header and the records are those of the same test without a
    // specimen, byte for byte; a reader of the description alone reads them.
    void specimenBlockLiesBeyondTheRecords() {
        Experiment test = coupon();
        test.SetSpecimen({});
        QVERIFY(test.SaveFile(path("plain.tdf")));
        test.SetSpecimen(fullRecord(SpecimenShape::Rectangular));
        QVERIFY(test.SaveFile(path("with.tdf")));
        const QByteArray plain = readBytes(QString::fromStdString(path("plain.tdf")));
        const QByteArray with = readBytes(QString::fromStdString(path("with.tdf")));
        QCOMPARE(plain.size(), 99 + 8 * test.Count());
        QVERIFY(with.startsWith(plain));
        QVERIFY(with.mid(plain.size()).startsWith("TORVIK SPECIMEN\r\nVERSION 1\r\n"));
        const PlainReading reading = readPlainly(with);
        QCOMPARE(reading.header, readPlainly(plain).header);
        QCOMPARE(reading.records.size(), std::size_t(test.Count()));
        for (int i = 1; i <= test.Count(); ++i) {
            QCOMPARE(reading.records[i - 1].first, test.DigitalDisplacement().Value(i));
            QCOMPARE(reading.records[i - 1].second, test.DigitalLoad().Value(i));
        }
    }

    // Every point is read whatever became of the block, and the operator is
    // told that the specimen is not known.
    void damagedBlockCostsNoPoint_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("a byte changed") << 0;
        QTest::newRow("cut") << 1;
        QTest::newRow("bytes after it") << 2;
        QTest::newRow("bytes after it, beyond the bound") << 3;
        QTest::newRow("well formed, beyond the bound") << 5;
        QTest::newRow("a later version") << 4;
    }
    void damagedBlockCostsNoPoint() {
        QFETCH(int, change);
        Experiment test = coupon();
        test.SetSpecimen(fullRecord(SpecimenShape::Rectangular));
        QVERIFY(test.SaveFile(path("d.tdf")));
        const QString name = QString::fromStdString(path("d.tdf"));
        QByteArray bytes = readBytes(name);
        const qsizetype block = 99 + 8 * test.Count();
        if (change == 0)
            bytes[bytes.indexOf("A-7 = coupon")] = 'X';
        else if (change == 1)
            bytes.chop(7);
        else if (change == 2)
            bytes += "x";
        else if (change == 3)
            bytes += QByteArray(int(MostSpecimenBlockBytes()), ' ');
        else if (change == 4)
            bytes.replace(block + 17, 9, "VERSION 2");
        else
            bytes = bytes.left(block) + wellFormedBlock(MostSpecimenBlockBytes());
        writeBytes(name, bytes);
        Experiment opened;
        RecordingMessages messages;
        QVERIFY(opened.LoadFile(name.toStdString(), messages));
        QCOMPARE(messages.texts, std::vector<std::string>{kSpecimenUnreadableMessage});
        QCOMPARE(opened.Count(), test.Count());
        QCOMPARE(opened.DigitalLoad().Value(test.Count()), test.DigitalLoad().Value(test.Count()));
        QVERIFY(opened.specimen().Empty());
    }

    // Another writer's block within the bound, with a field not known here.
    void wellFormedBlockOfAnotherWriterIsRead() {
        Experiment test = coupon();
        test.SetSpecimen({});
        QVERIFY(test.SaveFile(path("w.tdf")));
        const QString name = QString::fromStdString(path("w.tdf"));
        QByteArray bytes = readBytes(name);
        bytes += wellFormedBlock(1000);
        writeBytes(name, bytes);
        Experiment opened;
        RecordingMessages messages;
        QVERIFY(opened.LoadFile(name.toStdString(), messages) && messages.texts.empty());
        QCOMPARE(opened.specimen().name, std::string("Big"));
    }

    void fileFromBeforeOpensWithoutSpecimenOrMessage() {
        Experiment opened;
        RecordingMessages messages;
        QVERIFY(opened.LoadFile(TORVIK_TEST_DATA "properties/b,1.tdf", messages));
        QVERIFY(messages.texts.empty());
        QCOMPARE(opened.Count(), 5);
        QVERIFY(opened.specimen().Empty());
        QCOMPARE(opened.SampleLength(), 1.0f);
        QCOMPARE(opened.SampleArea(), 1.0f);
    }

    void journalKeepsTheLastSpecimen() {
        std::string journal = JournalHeaderText({kTestTension, 1.0f, 0, 1'796'000'000});
        AppendJournalPoint(journal, 32768, 60000);
        SpecimenRecord first;
        first.name = "first";
        AppendJournalSpecimen(journal, first);
        AppendJournalPoint(journal, 33000, 59000);
        const SpecimenRecord last = fullRecord(SpecimenShape::Round);
        AppendJournalSpecimen(journal, last);
        const auto contents = ParseJournal(journal);
        QVERIFY(contents && !contents->damaged);
        Experiment recovered;
        FillExperiment(*contents, recovered);
        QCOMPARE(recovered.Count(), 2);
        QVERIFY(recovered.specimen() == last);

        journal.insert(journal.size() - 3, "\\q");
        QVERIFY(ParseJournal(journal)->damaged);
    }

    void lengthsAreInchesOrMillimetres_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("inches"); // 0: refused
        QTest::newRow("plain number") << "0.5" << 0.5f;
        QTest::newRow("millimetres") << "12.7 mm" << 0.5f;
        QTest::newRow("millimetres, no blank, capitals") << "12.7MM" << 0.5f;
        QTest::newRow("zero millimetres") << "0 mm" << 0.0f;
        QTest::newRow("suffix alone") << "mm" << 0.0f;
        QTest::newRow("negative") << "-2" << 0.0f;
    }
    void lengthsAreInchesOrMillimetres() {
        QFETCH(QString, text);
        QFETCH(float, inches);
        QCOMPARE(LengthInInches(text.toStdString()).value_or(0.0f), inches);
    }

    // The same test in both units: stresses differ by 1 psi = 0.00689476 MPa
    // and the display rounding, strains and elongations not at all.
    void unitPairsOfOneTest() {
        const Experiment test = coupon();
        const TestProperties english = ComputeTestProperties(test, kUnitsEnglish);
        const TestProperties metric = ComputeTestProperties(test, kUnitsMetric);
        QCOMPARE(english.ultimateStrength.value, 6400.0);
        QCOMPARE(std::round(metric.ultimateStrength.value * 10) / 10, 44.1);
        QVERIFY(std::fabs(metric.youngsModulus.value / english.youngsModulus.value - 0.00689476) <
                0.00689476 * 1e-3);
        QVERIFY(english.elongationAtBreak.value > 14.0);
        QVERIFY(std::fabs(metric.elongationAtBreak.value - english.elongationAtBreak.value) < 0.01);
        const std::vector<PropertyColumn> columns = PropertyColumns(kUnitsMetric);
        QCOMPARE(columns[10].heading, std::string("Ultimate tensile strength (MPa)"));
    }

private:
    std::string path(const char* name) const { return m_dir->filePath(name).toStdString(); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_APPLESS_MAIN(TestSpecimen)
#include "tst_specimen.moc"
