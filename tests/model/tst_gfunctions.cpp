#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QTest>
#include <limits>
#include <stdexcept>

namespace {

constexpr auto kLowest = std::numeric_limits<std::int32_t>::min();
constexpr auto kHighest = std::numeric_limits<std::int32_t>::max();

} // namespace

class TestGFunctions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void codeOutsideTheNameTablesIsAFailure();
    void digitalToLoadRoundsMagnitudeAndSignsByZeroPoint_data();
    void digitalToLoadRoundsMagnitudeAndSignsByZeroPoint();
    void digitalToLoadOverflowIsAFailure_data();
    void digitalToLoadOverflowIsAFailure();
    void digitalToDisplacementCorrectsFrameDeflection_data();
    void digitalToDisplacementCorrectsFrameDeflection();
    void digitalToDisplacementOverflowIsAFailure();
    void roundToInt32RoundsHalvesToEvenWithinRange_data();
    void roundToInt32RoundsHalvesToEvenWithinRange();
    void waitSecondsProcessesEventsOnceAndWaitsOnlyForTimeLeft_data();
    void waitSecondsProcessesEventsOnceAndWaitsOnlyForTimeLeft();
};

// The names themselves are pinned by the file and export bytes.
void TestGFunctions::codeOutsideTheNameTablesIsAFailure() {
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, UnitNames(3));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, UnitNames(-1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, TestTypeNames(6));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, TestTypeNames(kLowest));
}

void TestGFunctions::digitalToLoadRoundsMagnitudeAndSignsByZeroPoint_data() {
    QTest::addColumn<std::int32_t>("raw");
    QTest::addColumn<std::int32_t>("units");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<std::int32_t>("offset");
    QTest::addColumn<float>("expected");
    QTest::newRow("full tension 999.97 to 1000") << 65535 << kUnitsEnglish << 1.0f << 0 << -1000.0f;
    QTest::newRow("full compression metric") << 0 << kUnitsMetric << 1.0f << 0 << 4448.0f;
    QTest::newRow("offset moves zero") << 32668 << kUnitsEnglish << 1.0f << -100 << 0.0f;
    QTest::newRow("33 counts 1.00708 lbf") << 32735 << kUnitsEnglish << 1.0f << 0 << 1.0f;
    QTest::newRow("33 counts 4.4797 N") << 32735 << kUnitsMetric << 1.0f << 0 << 4.0f;
    // 2048 counts are exactly 62.5 lbf, 312.5 steps of 0.2: halves round up
    // in magnitude on both sides of the zero point.
    QTest::newRow("half step compression") << 30720 << kUnitsEnglish << 1.0f << 0 << 62.6f;
    QTest::newRow("half step tension") << 34816 << kUnitsEnglish << 1.0f << 0 << -62.6f;
    QTest::newRow("ratio scales") << 0 << kUnitsEnglish << 0.9765f << 0 << 976.6f;
    QTest::newRow("one count above zero") << 32769 << kUnitsEnglish << 1.0f << 0 << -0.0f;
}

void TestGFunctions::digitalToLoadRoundsMagnitudeAndSignsByZeroPoint() {
    QFETCH(std::int32_t, raw);
    QFETCH(std::int32_t, units);
    QFETCH(float, ratio);
    QFETCH(std::int32_t, offset);
    QFETCH(float, expected);
    QCOMPARE(exactSingle(DigitalToLoad(raw, units, ratio, offset)), exactSingle(expected));
}

void TestGFunctions::digitalToLoadOverflowIsAFailure_data() {
    QTest::addColumn<std::int32_t>("raw");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<std::int32_t>("offset");
    QTest::newRow("raw minus zero point") << kLowest << 1.0f << 0;
    QTest::newRow("minus offset") << 0 << 1.0f << kHighest;
    QTest::newRow("magnitude of lowest") << kLowest + 32768 << 1.0f << 0;
    QTest::newRow("times full scale") << 32768 + 3'000'000 << 1.0f << 0;
    QTest::newRow("beyond single precision") << 0 << 3e38f << 0;
}

void TestGFunctions::digitalToLoadOverflowIsAFailure() {
    QFETCH(std::int32_t, raw);
    QFETCH(float, ratio);
    QFETCH(std::int32_t, offset);
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, DigitalToLoad(raw, kUnitsEnglish, ratio, offset));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, DigitalToLoad(raw, kUnitsMetric, ratio, offset));
}

void TestGFunctions::digitalToDisplacementCorrectsFrameDeflection_data() {
    QTest::addColumn<std::int32_t>("d0");
    QTest::addColumn<std::int32_t>("l0");
    QTest::addColumn<std::int32_t>("d");
    QTest::addColumn<std::int32_t>("l");
    QTest::addColumn<std::int32_t>("units");
    QTest::addColumn<float>("expected");
    QTest::newRow("deflection only, 100 lbf") << 1000 << 32768 << 1000 << 29491 << 1 << -0.001f;
    QTest::newRow("16384 counts up") << 1000 << 32768 << 17384 << 32768 << 1 << 1.0f;
    QTest::newRow("16384 counts up metric") << 1000 << 32768 << 17384 << 32768 << 2 << 25.4f;
    // A fall of one count (61 millionths) under 100 lbf more: the correction
    // exceeds the travel, so x is negative and the raw sign flips it back.
    QTest::newRow("sign from raw readings") << 1001 << 32768 << 1000 << 29491 << 1 << 0.0009f;
    QTest::newRow("travel less deflection") << 5000 << 32768 << 4000 << 34816 << 2 << -1.534f;
}

void TestGFunctions::digitalToDisplacementCorrectsFrameDeflection() {
    QFETCH(std::int32_t, d0);
    QFETCH(std::int32_t, l0);
    QFETCH(std::int32_t, d);
    QFETCH(std::int32_t, l);
    QFETCH(std::int32_t, units);
    QFETCH(float, expected);
    QCOMPARE(exactSingle(DigitalToDisplacement(d0, l0, d, l, units, 1.0f, 0)),
             exactSingle(expected));
}

void TestGFunctions::digitalToDisplacementOverflowIsAFailure() {
    QVERIFY_THROWS_EXCEPTION(std::overflow_error,
                             DigitalToDisplacement(kLowest, 32768, 1, 32768, 1, 1.0f, 0));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error,
                             DigitalToDisplacement(0, kLowest, 0, 32768, 1, 1.0f, 0));
}

void TestGFunctions::roundToInt32RoundsHalvesToEvenWithinRange_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<std::int32_t>("expected");
    QTest::newRow("2.5") << 2.5 << true << 2;
    QTest::newRow("3.5") << 3.5 << true << 4;
    QTest::newRow("-2.5") << -2.5 << true << -2;
    QTest::newRow("highest") << 2147483647.4 << true << kHighest;
    QTest::newRow("half above highest") << 2147483647.5 << false << 0;
    QTest::newRow("lowest by halves to even") << -2147483648.5 << true << kLowest;
    QTest::newRow("below lowest") << -2147483649.0 << false << 0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false << 0;
}

void TestGFunctions::roundToInt32RoundsHalvesToEvenWithinRange() {
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(std::int32_t, expected);
    const auto rounded = RoundToInt32(value);
    QCOMPARE(rounded.has_value(), fits);
    if (fits) {
        QCOMPARE(*rounded, expected);
    }
}

void TestGFunctions::waitSecondsProcessesEventsOnceAndWaitsOnlyForTimeLeft_data() {
    QTest::addColumn<std::int16_t>("seconds");
    QTest::addColumn<std::int64_t>("secondsPerPass");
    QTest::addColumn<std::vector<std::int64_t>>("waits"); // seconds after the start
    QTest::newRow("zero") << std::int16_t{0} << std::int64_t{0} << std::vector<std::int64_t>{};
    QTest::newRow("negative") << std::int16_t{-5} << std::int64_t{0} << std::vector<std::int64_t>{};
    QTest::newRow("three") << std::int16_t{3} << std::int64_t{0} << std::vector<std::int64_t>{3};
    QTest::newRow("events used the time")
        << std::int16_t{2} << std::int64_t{2} << std::vector<std::int64_t>{};
}

void TestGFunctions::waitSecondsProcessesEventsOnceAndWaitsOnlyForTimeLeft() {
    QFETCH(std::int16_t, seconds);
    QFETCH(std::int64_t, secondsPerPass);
    QFETCH(std::vector<std::int64_t>, waits);
    FakePump pump;
    const std::int64_t start = pump.now;
    pump.secondsPerPass = secondsPerPass;
    WaitSeconds(pump, seconds);
    QCOMPARE(pump.passes, 1);
    for (std::int64_t& second : waits) {
        second += start;
    }
    QCOMPARE(pump.waits, waits);
    QCOMPARE(pump.now, start + std::max<std::int64_t>(seconds, secondsPerPass));
}

QTEST_APPLESS_MAIN(TestGFunctions)
#include "tst_gfunctions.moc"
