#include "model/currentcalibration.h"
#include "model/gfunctions.h"

#include <QTest>
#include <limits>
#include <stdexcept>

class TestCurrentCalibration : public QObject {
    Q_OBJECT

private slots:
    void loadsAreZeroUntilTheCalibrationIsRead() {
        QCOMPARE(CurrentLoadCellRatio(), 0.0f);
        QCOMPARE(CurrentLoadCellOffset(), 0.0f);
        QCOMPARE(LiveLoad(0, kUnitsEnglish), 0.0f);
    }

    void liveLoadUsesTheCalibrationInForceWithoutTestDirection() {
        SetCurrentLoadCellRatio(1.0f);
        SetCurrentLoadCellOffset(100);
        QCOMPARE(LiveLoad(32868, kUnitsEnglish), 0.0f);
        QCOMPARE(LiveLoad(32868 - 2048, kUnitsEnglish), 62.6f);
        QCOMPARE(LiveLoad(32868 + 2048, kUnitsEnglish), -62.6f);
        SetCurrentLoadCellRatio(0.5f);
        QCOMPARE(LiveLoad(32868 - 2048, kUnitsEnglish), 31.2f);
        QCOMPARE(LiveLoad(32868 - 2048, kUnitsMetric), 139.0f);
        SetCurrentLoadCellOffset(-12);
        QCOMPARE(CurrentLoadCellOffset(), -12.0f);
    }

    void offsetBeyondWhatASingleRoundsBackIsAFailure() {
        // The largest offset becomes 2^31 as a single, one more than fits.
        SetCurrentLoadCellRatio(1.0f);
        SetCurrentLoadCellOffset(std::numeric_limits<std::int32_t>::max());
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, LiveLoad(0, kUnitsEnglish));
        SetCurrentLoadCellOffset(0);
    }
};

QTEST_APPLESS_MAIN(TestCurrentCalibration)
#include "tst_currentcalibration.moc"
