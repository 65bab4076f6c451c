#include "calibration/calibrationcode.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/settingsstore.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kSection = QStringLiteral("Calibration");
const QString kSensitivityKey = QStringLiteral("Load Cell");
const QString kOffsetKey = QStringLiteral("Load Cell Offset");
// Current values that no stored entry gives, to see that a failed read
// leaves them alone.
constexpr float kUntouchedRatio = 0.125F;
constexpr std::int32_t kUntouchedOffset = 777;
} // namespace

class TestCalibrationCode : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void sensitivityBecomesTheCurrentRatio_data();
    void sensitivityBecomesTheCurrentRatio();
    void unusableSensitivityCountsAsAbsent_data();
    void unusableSensitivityCountsAsAbsent();
    void absentSensitivityChangesNothing();

    void offsetBecomesTheCurrentOffset_data();
    void offsetBecomesTheCurrentOffset();
    void unusableOffsetCountsAsAbsent_data();
    void unusableOffsetCountsAsAbsent();
    void absentOffsetChangesNothing();

private:
    QTemporaryDir m_configHome;
    SettingsStore m_settings;
};

void TestCalibrationCode::initTestCase() {
    QVERIFY(m_configHome.isValid());
    qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
}

void TestCalibrationCode::init() {
    m_settings.remove(kSection, kSensitivityKey);
    m_settings.remove(kSection, kOffsetKey);
    SetCurrentLoadCellRatio(kUntouchedRatio);
    SetCurrentLoadCellOffset(kUntouchedOffset);
}

void TestCalibrationCode::sensitivityBecomesTheCurrentRatio_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<float>("ratio");
    QTest::newRow("reference cell 3.906 gives 1") << "3.906" << 1.0F;
    QTest::newRow("4 gives 0.9765 in single precision") << "4" << 0.9765F;
    QTest::newRow("3.5 gives about 1.116") << "3.5" << static_cast<float>(3.906 / 3.5);
    QTest::newRow("unit behind the number is ignored")
        << "3.5 mV/V" << static_cast<float>(3.906 / 3.5);
    QTest::newRow("blanks around the number") << " 3.906 " << 1.0F;
    // The division is done in double precision on the single-precision value.
    QTest::newRow("3.7 read in single precision")
        << "3.7" << static_cast<float>(3.906 / static_cast<double>(3.7F));
}

void TestCalibrationCode::sensitivityBecomesTheCurrentRatio() {
    QFETCH(QString, stored);
    QFETCH(float, ratio);
    m_settings.write(kSection, kSensitivityKey, stored);
    QVERIFY(ReadLoadCellRatio(m_settings));
    QCOMPARE(CurrentLoadCellRatio(), ratio);
}

void TestCalibrationCode::unusableSensitivityCountsAsAbsent_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("letters") << "abc";
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-3.5";
    QTest::newRow("unit before the number") << "mV/V 3.5";
    QTest::newRow("blanks only") << "   ";
    QTest::newRow("beyond single precision") << "1e300";
    QTest::newRow("so small the ratio overflows") << "1e-40";
    QTest::newRow("so small the loads would overflow") << "1e-30";
}

void TestCalibrationCode::unusableSensitivityCountsAsAbsent() {
    QFETCH(QString, stored);
    m_settings.write(kSection, kSensitivityKey, stored);
    QVERIFY(!ReadLoadCellRatio(m_settings));
    QCOMPARE(CurrentLoadCellRatio(), kUntouchedRatio);
}

void TestCalibrationCode::absentSensitivityChangesNothing() {
    QVERIFY(!ReadLoadCellRatio(m_settings));
    QCOMPARE(CurrentLoadCellRatio(), kUntouchedRatio);
    m_settings.write(kSection, kSensitivityKey, QString());
    QVERIFY(!ReadLoadCellRatio(m_settings));
    QCOMPARE(CurrentLoadCellRatio(), kUntouchedRatio);
}

void TestCalibrationCode::offsetBecomesTheCurrentOffset_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("offset");
    QTest::newRow("minus twelve") << "-12" << -12;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("positive") << "35" << 35;
    QTest::newRow("half rounds down to even") << "2.5" << 2;
    QTest::newRow("half rounds up to even") << "3.5" << 4;
    QTest::newRow("negative half rounds to even") << "-2.5" << -2;
    QTest::newRow("text behind the number") << "12 counts" << 12;
    QTest::newRow("lowest zeroing result") << "-32768" << -32768;
    QTest::newRow("highest zeroing result") << "32767" << 32767;
    QTest::newRow("hexadecimal") << "&H10" << 16;
}

void TestCalibrationCode::offsetBecomesTheCurrentOffset() {
    QFETCH(QString, stored);
    QFETCH(int, offset);
    m_settings.write(kSection, kOffsetKey, stored);
    QVERIFY(ReadLoadCellOffset(m_settings));
    QCOMPARE(CurrentLoadCellOffset(), static_cast<float>(offset));
}

void TestCalibrationCode::unusableOffsetCountsAsAbsent_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("letters") << "abc";
    QTest::newRow("sign alone") << "-";
    QTest::newRow("blanks only") << "  ";
    QTest::newRow("beyond any zeroing result") << "40000";
    QTest::newRow("beyond 32 bits") << "1e10";
    QTest::newRow("far below") << "-99999999999";
}

void TestCalibrationCode::unusableOffsetCountsAsAbsent() {
    QFETCH(QString, stored);
    m_settings.write(kSection, kOffsetKey, stored);
    QVERIFY(!ReadLoadCellOffset(m_settings));
    QCOMPARE(CurrentLoadCellOffset(), static_cast<float>(kUntouchedOffset));
}

void TestCalibrationCode::absentOffsetChangesNothing() {
    QVERIFY(!ReadLoadCellOffset(m_settings));
    QCOMPARE(CurrentLoadCellOffset(), static_cast<float>(kUntouchedOffset));
}

QTEST_GUILESS_MAIN(TestCalibrationCode)
#include "tst_calibrationcode.moc"
