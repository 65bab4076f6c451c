#include "calibration/calibrationcode.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/settingsstore.h"
#include "support/machinefixture.h"

namespace {
const QString kSection = QStringLiteral("Calibration");
const QString kSensitivityKey = QStringLiteral("Load Cell");
const QString kOffsetKey = QStringLiteral("Load Cell Offset");
// Current values that no stored entry gives: a failed read leaves them alone.
constexpr float kUntouchedRatio = 0.125F;
constexpr float kUntouchedOffset = 777.0F;
} // namespace

// The stored calibration read into the calibration in force.
class TestCalibrationCode : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseOwnSettingsFolder(); }

    void storedEntryIsRead_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored"); // "absent": no entry
        QTest::addColumn<float>("current");  // the untouched value: the entry counts as absent
        const auto ratio = [](const char* name, const char* stored, float ratio) {
            QTest::newRow(name) << kSensitivityKey << QString::fromLatin1(stored) << ratio;
        };
        const auto offset = [](const char* name, const char* stored, float offset) {
            QTest::newRow(name) << kOffsetKey << QString::fromLatin1(stored) << offset;
        };
        ratio("reference cell 3.906 gives 1", "3.906", 1.0F);
        ratio("unit behind the number", "3.5 mV/V", static_cast<float>(3.906 / 3.5));
        // The division is done in double precision on the single-precision value.
        ratio("3.7 read in single precision", "3.7", static_cast<float>(3.906 / double(3.7F)));
        ratio("sensitivity absent", "absent", kUntouchedRatio);
        ratio("sensitivity zero", "0", kUntouchedRatio);
        ratio("sensitivity negative", "-3.5", kUntouchedRatio);
        // Not read short as 3; the blank is how a hand-written entry reads.
        ratio("decimal comma", "3, 906", kUntouchedRatio);
        ratio("beyond single precision", "1e300", kUntouchedRatio);
        ratio("so small the ratio overflows", "1e-40", kUntouchedRatio);
        ratio("so small the loads would overflow", "1e-30", kUntouchedRatio);

        offset("negative offset", "-12", -12.0F);
        offset("half rounds down to even", "2.5", 2.0F);
        offset("half rounds up to even", "3.5", 4.0F);
        offset("text behind the number", "12 counts", 12.0F);
        offset("hexadecimal", "&H10", 16.0F);
        offset("lowest zeroing result", "-32768", -32768.0F);
        offset("highest zeroing result", "32767", 32767.0F);
        offset("offset absent", "absent", kUntouchedOffset);
        offset("offset letters", "abc", kUntouchedOffset);
        offset("sign alone", "-", kUntouchedOffset);
        offset("beyond any zeroing result", "40000", kUntouchedOffset);
    }

    void storedEntryIsRead() {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(float, current);
        m_settings.remove(kSection, key);
        if (stored != QStringLiteral("absent"))
            m_settings.write(kSection, key, stored);
        SetCurrentLoadCellRatio(kUntouchedRatio);
        SetCurrentLoadCellOffset(static_cast<std::int32_t>(kUntouchedOffset));
        const bool sensitivity = key == kSensitivityKey;
        const bool read =
            sensitivity ? ReadLoadCellRatio(m_settings) : ReadLoadCellOffset(m_settings);
        QCOMPARE(read, current != (sensitivity ? kUntouchedRatio : kUntouchedOffset));
        QCOMPARE(sensitivity ? CurrentLoadCellRatio() : CurrentLoadCellOffset(), current);
    }

private:
    SettingsStore m_settings;
};

QTEST_GUILESS_MAIN(TestCalibrationCode)
#include "tst_calibrationcode.moc"
