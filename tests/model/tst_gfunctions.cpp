#include "model/currentcalibration.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QTest>
#include <cstdlib>
#include <fstream>
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

    // The names themselves are pinned by the file and export bytes.
    void codeOutsideTheNameTablesIsAFailure() {
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, UnitNames(3));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, UnitNames(-1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, TestTypeNames(6));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, TestTypeNames(kLowest));
    }

    // data/conversions.txt, made apart from this program by conversions.py beside
    // it (which describes the layout): every raw load at four calibrations,
    // displacements and hardness tests at rounding boundaries.
    void conversionsMatchTheReferenceTable() {
        std::ifstream table(TORVIK_TEST_DATA "conversions.txt");
        table.ignore(std::numeric_limits<std::streamsize>::max(), '\n'); // the comment
        const auto section = [&](const std::string& title) {
            std::string word;
            std::int32_t count = -1;
            table >> word >> count;
            return word == title ? count : -1;
        };
        const auto next = [&] {
            std::int32_t value = 0;
            table >> value;
            return value;
        };
        QStringList differences;
        // `what` names the value; called only for one that differs.
        const auto expect = [&](float actual, double expected, const auto& what) {
            if (actual != static_cast<float>(expected) && differences.size() < 10) {
                differences << what() + ": " + exactSingle(actual) + ", expected " +
                                   exactSingle(static_cast<float>(expected));
            }
        };
        std::vector<std::pair<float, std::int32_t>> calibrations(4);
        QCOMPARE(section("calibrations"), 4);
        for (auto& [ratio, offset] : calibrations) {
            table >> ratio >> offset;
        }
        QCOMPARE(section("loads"), 65536);
        for (std::int32_t raw = 0; raw < 65536; ++raw) {
            for (const auto& calibration : calibrations) {
                const auto [ratio, offset] = calibration;
                const auto what = [&] {
                    return QString::asprintf("load %d at %g, %d", raw, calibration.first,
                                             calibration.second);
                };
                expect(DigitalToLoad(raw, kUnitsEnglish, ratio, offset), next() / 5.0, what);
                expect(DigitalToLoad(raw, kUnitsMetric, ratio, offset), next(), what);
            }
        }
        const std::int32_t pairs = section("displacements");
        QVERIFY(pairs > 0);
        for (std::int32_t row = 0; row < pairs && table; ++row) {
            const auto d0 = next(), l0 = next(), d = next(), l = next();
            const auto& calibration = calibrations.at(next());
            const auto [ratio, offset] = calibration;
            const auto what = [&] {
                return QString::asprintf("displacement %d %d %d %d at %g, %d", d0, l0, d, l,
                                         calibration.first, calibration.second);
            };
            expect(DigitalToDisplacement(d0, l0, d, l, kUnitsEnglish, ratio, offset),
                   next() / 10000.0, what);
            expect(DigitalToDisplacement(d0, l0, d, l, kUnitsMetric, ratio, offset), next() / 500.0,
                   what);
        }
        const std::int32_t tests = section("hardness");
        QVERIFY(tests > 0);
        float ratio = 0.0f;
        std::int32_t offset = 0;
        for (std::int32_t row = 1; row <= tests && table; ++row) {
            Experiment experiment;
            std::tie(ratio, offset) = calibrations.at(next());
            experiment.SetLoadCellRatio(ratio);
            experiment.SetLoadCellOffset(offset);
            experiment.SetTestType(kTestHardness);
            const auto number = next();
            for (std::int32_t points = next(); points > 0; --points) {
                const auto load = next();
                experiment.AddDataPoint(load, next());
            }
            expect(HardnessNumber(experiment), number,
                   [&] { return QString::asprintf("hardness test %d", row); });
        }
        QVERIFY(table.good());
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join('\n')));
    }

    void digitalToLoadOverflowIsAFailure_data() {
        QTest::addColumn<std::int32_t>("raw");
        QTest::addColumn<float>("ratio");
        QTest::addColumn<std::int32_t>("offset");
        QTest::newRow("raw minus zero point") << kLowest << 1.0f << 0;
        QTest::newRow("minus offset") << 0 << 1.0f << kHighest;
        QTest::newRow("magnitude of lowest") << kLowest + 32768 << 1.0f << 0;
        QTest::newRow("times full scale") << 32768 + 3'000'000 << 1.0f << 0;
        QTest::newRow("beyond single precision") << 0 << 3e38f << 0;
    }

    void digitalToLoadOverflowIsAFailure() {
        QFETCH(std::int32_t, raw);
        QFETCH(float, ratio);
        QFETCH(std::int32_t, offset);
        QVERIFY_THROWS_EXCEPTION(std::overflow_error,
                                 DigitalToLoad(raw, kUnitsEnglish, ratio, offset));
        QVERIFY_THROWS_EXCEPTION(std::overflow_error,
                                 DigitalToLoad(raw, kUnitsMetric, ratio, offset));
    }

    void digitalToDisplacementOverflowIsAFailure() {
        QVERIFY_THROWS_EXCEPTION(std::overflow_error,
                                 DigitalToDisplacement(kLowest, 32768, 1, 32768, 1, 1.0f, 0));
        QVERIFY_THROWS_EXCEPTION(std::overflow_error,
                                 DigitalToDisplacement(0, kLowest, 0, 32768, 1, 1.0f, 0));
    }

    void roundToInt32RoundsHalvesToEvenWithinRange_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<std::int32_t>("expected");
        for (const QByteArrayList& row : dataRows("rounding.tsv"))
            QTest::newRow(row[0]) << std::strtod(row[1].constData(), nullptr) << (row[2] == "1")
                                  << row[3].toInt();
    }

    void roundToInt32RoundsHalvesToEvenWithinRange() {
        QFETCH(double, value);
        QFETCH(bool, fits);
        QFETCH(std::int32_t, expected);
        const auto rounded = RoundToInt32(value);
        QCOMPARE(rounded.has_value(), fits);
        if (fits) {
            QCOMPARE(*rounded, expected);
        }
    }

    void waitSecondsProcessesEventsOnceAndWaitsOnlyForTimeLeft_data() {
        QTest::addColumn<std::int16_t>("seconds");
        QTest::addColumn<std::int64_t>("secondsPerPass");
        QTest::addColumn<std::vector<std::int64_t>>("waits"); // seconds after the start
        QTest::newRow("zero") << std::int16_t{0} << std::int64_t{0} << std::vector<std::int64_t>{};
        QTest::newRow("negative") << std::int16_t{-5} << std::int64_t{0}
                                  << std::vector<std::int64_t>{};
        QTest::newRow("three") << std::int16_t{3} << std::int64_t{0}
                               << std::vector<std::int64_t>{3};
        QTest::newRow("events used the time")
            << std::int16_t{2} << std::int64_t{2} << std::vector<std::int64_t>{};
    }

    void waitSecondsProcessesEventsOnceAndWaitsOnlyForTimeLeft() {
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
};

QTEST_APPLESS_MAIN(TestGFunctions)
#include "tst_gfunctions.moc"
