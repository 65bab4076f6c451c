// The simulator's specimen: curves, phases, noise.

#include "specimen.h"

#include <QtTest>

namespace {
constexpr double kReadingSeconds = 1.0 / 370.0; // a reading at the line's rate
constexpr double kCountsPerLbf = 32.768;
constexpr double kCountsPerInch = 65535.0 / 4.0;
constexpr std::int32_t kAutoStopDropCounts = 100;

// Load counts in the test's direction and the largest fall between two
// readings over [from, to).
struct Run {
    std::int32_t peakCounts = 0;
    std::int32_t largestDropCounts = 0;
    std::int32_t travelCounts = 0;
};

Run Sample(Specimen& specimen, bool tension, double from, double to) {
    Run run;
    const RawPair first = specimen.sample(from);
    std::int32_t previous = 0;
    for (double t = from; t < to; t += kReadingSeconds) {
        const RawPair pair = specimen.sample(t);
        const std::int32_t counts = tension ? pair.load - 32768 : 32768 - pair.load;
        const std::int32_t travel = tension ? first.disp - pair.disp : pair.disp - first.disp;
        run.peakCounts = std::max(run.peakCounts, counts);
        run.travelCounts = std::max(run.travelCounts, travel);
        if (t > from)
            run.largestDropCounts = std::max(run.largestDropCounts, previous - counts);
        previous = counts;
    }
    return run;
}
} // namespace

class TestSimSpecimen : public QObject {
    Q_OBJECT

private slots:
    void kindsByName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::newRow("tension") << "tension" << int(SpecimenKind::Tension);
        QTest::newRow("compression") << "Compression" << int(SpecimenKind::Compression);
        QTest::newRow("hardness") << "HARDNESS" << int(SpecimenKind::Hardness);
        QTest::newRow("shear") << "shear" << int(SpecimenKind::Shear);
        QTest::newRow("structures") << "structures" << int(SpecimenKind::Structures);
        QTest::newRow("unknown") << "bending" << -1;
    }
    void kindsByName() {
        QFETCH(QString, name);
        QFETCH(int, kind);
        const auto parsed = SpecimenKindFromName(name.toStdString());
        QCOMPARE(parsed ? int(*parsed) : -1, kind);
    }

    void restsUnloadedAtTheZeroPointPlusOffset() {
        Specimen specimen(SpecimenKind::Tension, 120, 1, 0.0);
        const RawPair pair = specimen.exact(1.0);
        QCOMPARE(pair.load, 32768 + 120);
        QCOMPARE(pair.disp, Specimen::kStartDispCounts);
        QCOMPARE(specimen.phase(1.0), Specimen::Phase::Resting);
    }

    void eachKindLoadsToAPeakAndBreaksWithASuddenDrop_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("tension") << int(SpecimenKind::Tension);
        QTest::newRow("compression") << int(SpecimenKind::Compression);
        QTest::newRow("hardness") << int(SpecimenKind::Hardness);
        QTest::newRow("shear") << int(SpecimenKind::Shear);
        QTest::newRow("structures") << int(SpecimenKind::Structures);
    }
    void eachKindLoadsToAPeakAndBreaksWithASuddenDrop() {
        QFETCH(int, kind);
        const bool tension = SpecimenKind(kind) == SpecimenKind::Tension;
        Specimen specimen(SpecimenKind(kind), 0, 7, 0.0);
        specimen.idle(0.0);
        specimen.load(1.0);
        const double breakAt = 1.0 + Specimen::kLoadingSeconds;

        const Run loading = Sample(specimen, tension, 1.0, breakAt - 0.01);
        QVERIFY2(loading.peakCounts > 200 * kCountsPerLbf &&
                     loading.peakCounts < 1000 * kCountsPerLbf,
                 qPrintable(QString::number(loading.peakCounts)));
        // Rising, with noise, never falls by as much as an automatic stop needs.
        QVERIFY2(loading.largestDropCounts < kAutoStopDropCounts / 4,
                 qPrintable(QString::number(loading.largestDropCounts)));
        // Hardness needs 0.015 inch beyond the frame's own deflection.
        QVERIFY(loading.travelCounts > 0.02 * kCountsPerInch);

        const Run broken = Sample(specimen, tension, breakAt - 0.01, breakAt + 1.0);
        QVERIFY2(broken.largestDropCounts > 10 * kAutoStopDropCounts,
                 qPrintable(QString::number(broken.largestDropCounts)));
        QCOMPARE(specimen.phase(breakAt + 1.0), Specimen::Phase::Broken);
        QVERIFY(qAbs(specimen.sample(breakAt + 1.0).load - 32768) <= 2);
    }

    void directionOfEachKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("loadSign"); // of raw load minus zero
        QTest::addColumn<int>("dispSign"); // of raw displacement minus start
        QTest::newRow("tension") << int(SpecimenKind::Tension) << 1 << -1;
        QTest::newRow("compression") << int(SpecimenKind::Compression) << -1 << 1;
        QTest::newRow("hardness") << int(SpecimenKind::Hardness) << -1 << 1;
        QTest::newRow("shear") << int(SpecimenKind::Shear) << -1 << 1;
        QTest::newRow("structures") << int(SpecimenKind::Structures) << -1 << 1;
    }
    void directionOfEachKind() {
        QFETCH(int, kind);
        QFETCH(int, loadSign);
        QFETCH(int, dispSign);
        Specimen specimen(SpecimenKind(kind), 0, 1, 0.0);
        specimen.load(0.0);
        const RawPair pair = specimen.exact(5.0);
        QCOMPARE((pair.load > 32768) ? 1 : -1, loadSign);
        QCOMPARE((pair.disp > Specimen::kStartDispCounts) ? 1 : -1, dispSign);
    }

    void cycleRepeatsRestLoadAndBreak() {
        Specimen specimen(SpecimenKind::Compression, 0, 1, 0.0);
        const double cycle =
            Specimen::kRestSeconds + Specimen::kLoadingSeconds + Specimen::kBrokenSeconds;
        for (int round = 0; round < 3; ++round) {
            const double start = round * cycle;
            QCOMPARE(specimen.phase(start + 1.0), Specimen::Phase::Resting);
            QCOMPARE(specimen.phase(start + Specimen::kRestSeconds + 1.0),
                     Specimen::Phase::Loading);
            QCOMPARE(specimen.phase(start + cycle - 1.0), Specimen::Phase::Broken);
        }
        // Back at rest, the crosshead has returned.
        QCOMPARE(specimen.exact(3 * cycle + 1.0).disp, Specimen::kStartDispCounts);
    }

    void idleRestsUntilToldToLoad() {
        Specimen specimen(SpecimenKind::Tension, 0, 1, 0.0);
        specimen.idle(0.0);
        QCOMPARE(specimen.phase(1000.0), Specimen::Phase::Resting);
        specimen.load(1000.0);
        QCOMPARE(specimen.phase(1001.0), Specimen::Phase::Loading);
        QCOMPARE(specimen.phase(1000.0 + Specimen::kLoadingSeconds + 100.0),
                 Specimen::Phase::Broken);
        specimen.cycle(2000.0);
        QCOMPARE(specimen.phase(2000.0 + Specimen::kRestSeconds + 0.5), Specimen::Phase::Loading);
    }

    void breakDropsTheLoadAtOnceAndKeepsTheCrossheadWhereItWas() {
        Specimen specimen(SpecimenKind::Compression, 0, 1, 0.0);
        specimen.load(0.0);
        const RawPair before = specimen.exact(5.0);
        specimen.breakNow(5.0);
        const RawPair after = specimen.exact(5.0);
        QVERIFY(before.load < 32768 - 1000);
        QCOMPARE(after.load, 32768);
        QCOMPARE(after.disp, before.disp);
    }

    void switchingKindStartsAgainFromRest() {
        Specimen specimen(SpecimenKind::Compression, 0, 1, 0.0);
        specimen.load(0.0);
        specimen.setKind(SpecimenKind::Tension, 5.0);
        QCOMPARE(specimen.kind(), SpecimenKind::Tension);
        QCOMPARE(specimen.phase(5.5), Specimen::Phase::Resting);
    }

    void noiseIsSmallOnBothChannels() {
        Specimen specimen(SpecimenKind::Tension, 0, 3, 0.0);
        specimen.idle(0.0);
        bool loadVaries = false;
        for (int i = 0; i < 1000; ++i) {
            const RawPair pair = specimen.sample(i * kReadingSeconds);
            QVERIFY(qAbs(pair.load - 32768) <= 2);
            QVERIFY(qAbs(pair.disp - Specimen::kStartDispCounts) <= 1);
            loadVaries = loadVaries || pair.load != 32768;
        }
        QVERIFY(loadVaries);
    }
};

QTEST_APPLESS_MAIN(TestSimSpecimen)
#include "tst_simspecimen.moc"
