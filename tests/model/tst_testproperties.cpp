#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/testproperties.h"
#include "specimen.h"

#include <QTest>
#include <cmath>

using Points = std::vector<double>;
Q_DECLARE_METATYPE(Points)
Q_DECLARE_METATYPE(Absence)

namespace {

// A value of `p` by its column heading, NaN with the absence when it has none.
double valueOf(const TestProperties& p, PropertyValue TestProperties::*member) {
    const PropertyValue& value = p.*member;
    return value.present() ? value.value : std::nan("");
}

// A tension specimen's curve of 1 in. over 1 sq. in.: stress 1000 x strain
// up to 0.01, then 100 x strain; sampled every 0.002 strain from 0 to 0.03,
// then the load drops to nothing. The 0.2% offset line 1000 (e - 0.002)
// meets the plastic part where 900 e = 11, at a stress of 10.2222...
Points bilinearStrain() {
    Points x;
    for (int i = 0; i <= 15; ++i)
        x.push_back(0.002 * i);
    x.push_back(0.03);
    return x;
}
Points bilinearStress() {
    Points y;
    for (const double e : bilinearStrain())
        y.push_back(e <= 0.01 ? 1000.0 * e : 10.0 + 100.0 * (e - 0.01));
    y.back() = 0.0;
    return y;
}

} // namespace

class TestTestProperties : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void handComputedCurves_data();
    void handComputedCurves();
    void whatCannotBeComputedSaysWhy_data();
    void whatCannotBeComputedSaysWhy();
    void simulatedTensionTest();
};

void TestTestProperties::handComputedCurves_data() {
    // Expected: peak load, displacement at peak, break point, energy to peak,
    // energy to break, stiffness, its window, UTS, modulus, yield, elongation
    // (NaN where there is none).
    QTest::addColumn<Points>("x");
    QTest::addColumn<Points>("y");
    QTest::addColumn<std::int32_t>("testType");
    QTest::addColumn<std::int32_t>("units");
    QTest::addColumn<double>("area");
    QTest::addColumn<double>("length");
    QTest::addColumn<Points>("expected");
    const double none = std::nan("");
    const Points line = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    Points tenTimes;
    for (const double x : line)
        tenTimes.push_back(10 * x);
    // No break: the load rises to the last point; energy 10 x 9 x 9 / 2.
    QTest::newRow("straight line, no break")
        << line << tenTimes << kTestCompression << kUnitsEnglish << 0.0 << 1.0
        << Points{90, 9, none, 405, none, 10, 1, 3, none, none, none, none};
    QTest::newRow("straight line in metric: energy in joules")
        << line << tenTimes << kTestShear << kUnitsMetric << 0.0 << 1.0
        << Points{90, 9, none, 0.405, none, 10, 1, 3, none, none, none, none};
    // The first drop (10 to 8) is not the largest (7 to 2): the break is
    // point 5; energy 2.5 + 7.5 + 9 + 7.5 to it.
    QTest::newRow("two drops") << Points{0, 1, 2, 3, 4, 5, 6} << Points{0, 5, 10, 8, 7, 2, 1}
                               << kTestCompression << kUnitsEnglish << 0.0 << 1.0
                               << Points{10, 2, 5, 10, 26.5, 5, 1, 3, none, none, none, none};
    // Sample 2 sq. in. by 4 in.: loads are twice the stresses, displacements
    // four times the strains, and the stiffness 1000 x 2 / 4. Energy: the
    // elastic triangle 0.04 x 20 / 2 and the plastic trapezoid 0.08 x 22.
    Points x = bilinearStrain(), y = bilinearStress();
    for (double& value : x)
        value *= 4;
    for (double& value : y)
        value *= 2;
    QTest::newRow("bilinear tension")
        << x << y << kTestTension << kUnitsEnglish << 2.0 << 4.0
        << Points{24, 0.12, 16, 2.16, 2.16, 500, 1, 3, 12, 1000, 10 + 100 * (11.0 / 900 - 0.01), 3};
    // Elastic to the break: the offset line never meets the curve.
    Points brittle = tenTimes;
    brittle.push_back(0);
    Points brittleX = line;
    brittleX.push_back(9);
    QTest::newRow("brittle tension")
        << brittleX << brittle << kTestTension << kUnitsEnglish << 1.0 << 1.0
        << Points{90, 9, 10, 405, 405, 10, 1, 3, 90, 10, none, 900};
}

void TestTestProperties::handComputedCurves() {
    QFETCH(Points, x);
    QFETCH(Points, y);
    QFETCH(std::int32_t, testType);
    QFETCH(std::int32_t, units);
    QFETCH(double, area);
    QFETCH(double, length);
    QFETCH(Points, expected);
    const TestProperties p = ComputeTestProperties(x, y, testType, units, area, length);
    const auto members = {&TestProperties::peakLoad,
                          &TestProperties::peakDisplacement,
                          &TestProperties::breakPoint,
                          &TestProperties::energyToPeak,
                          &TestProperties::energyToBreak,
                          &TestProperties::stiffness,
                          &TestProperties::stiffnessFirstPoint,
                          &TestProperties::stiffnessLastPoint,
                          &TestProperties::ultimateStrength,
                          &TestProperties::youngsModulus,
                          &TestProperties::yieldStrength,
                          &TestProperties::elongationAtBreak};
    int column = 0;
    for (const auto member : members) {
        const double wanted = expected[column++];
        const double got = valueOf(p, member);
        if (std::isnan(wanted))
            QVERIFY2(std::isnan(got), qPrintable(QString("column %1: %2").arg(column).arg(got)));
        else
            QVERIFY2(std::fabs(got - wanted) <= 1e-9 * std::max(1.0, std::fabs(wanted)),
                     qPrintable(QString("column %1: %2, not %3").arg(column).arg(got).arg(wanted)));
    }
}

void TestTestProperties::whatCannotBeComputedSaysWhy_data() {
    QTest::addColumn<Points>("y");
    QTest::addColumn<std::int32_t>("testType");
    QTest::addColumn<double>("area");
    QTest::addColumn<Absence>("peak");
    QTest::addColumn<Absence>("stiffness");
    QTest::addColumn<Absence>("modulus");
    QTest::newRow("one point") << Points{5} << kTestTension << 1.0 << Absence::TooFewPoints
                               << Absence::TooFewPoints << Absence::TooFewPoints;
    QTest::newRow("falling load") << Points{5, 4, 3} << kTestCompression << 0.0 << Absence::NoRise
                                  << Absence::NoRise << Absence::NoRise;
    QTest::newRow("peak at point 2") << Points{0, 5, 4} << kTestTension << 1.0 << Absence::None
                                     << Absence::TooFewPoints << Absence::TooFewPoints;
    QTest::newRow("tension without dimensions")
        << Points{0, 1, 2, 3} << kTestTension << 0.0 << Absence::None << Absence::None
        << Absence::NoDimensions;
    QTest::newRow("not tension") << Points{0, 1, 2, 3} << kTestHardness << 1.0 << Absence::None
                                 << Absence::None << Absence::NotTension;
}

void TestTestProperties::whatCannotBeComputedSaysWhy() {
    QFETCH(Points, y);
    QFETCH(std::int32_t, testType);
    QFETCH(double, area);
    QFETCH(Absence, peak);
    QFETCH(Absence, stiffness);
    QFETCH(Absence, modulus);
    Points x;
    for (std::size_t i = 0; i < y.size(); ++i)
        x.push_back(static_cast<double>(i));
    const TestProperties p = ComputeTestProperties(x, y, testType, kUnitsEnglish, area, 1.0);
    QCOMPARE(p.peakLoad.absence, peak);
    QCOMPARE(p.stiffness.absence, stiffness);
    QCOMPARE(p.youngsModulus.absence, modulus);
    QCOMPARE(PropertyText(p.youngsModulus, false).empty(), modulus != Absence::None);
}

// The simulator's tension specimen: 400 lbf at 0.30 inch of travel, straight
// to 70% of the peak at 40% of the travel, then flattening; sampled exactly
// every 5 ms of its 10 s of loading, then broken. The frame's deflection
// (0.00001 inch per lbf) is taken off the travel, so the specimen's own
// stiffness is 2333.3 / (1 - 0.023333) lbf/inch and its energy to the break
// is
// 120 x 0.68 less 0.00001 x 400^2 / 2.
void TestTestProperties::simulatedTensionTest() {
    Specimen specimen(SpecimenKind::Tension, 0, 1, 0.0);
    specimen.load(0.0);
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    for (int step = 0; step < 2000; ++step) {
        const RawPair reading = specimen.exact(step * 0.005);
        experiment.AddDataPoint(reading.load, reading.disp);
    }
    for (const double later : {10.5, 11.0}) {
        const RawPair reading = specimen.exact(later);
        experiment.AddDataPoint(reading.load, reading.disp);
    }
    experiment.SetSampleWidth(0.5f);
    experiment.SetSampleThickness(0.2f);
    experiment.SetSampleLength(2.0f);
    const TestProperties p = ComputeTestProperties(experiment, kUnitsEnglish);
    const auto near = [](const PropertyValue& value, double wanted, double share) {
        return value.present() && std::fabs(value.value - wanted) <= share * wanted;
    };
    QVERIFY(near(p.peakLoad, 400, 0.001));
    // The top is flat to within a count: the first reading of the peak load
    // comes a little before the end of the travel.
    QVERIFY(near(p.peakDisplacement, 0.296, 0.02));
    QCOMPARE(p.breakPoint.value, 2000.0);
    QVERIFY(near(p.energyToBreak, 80.8, 0.005));
    QVERIFY(near(p.stiffness, 2389.08, 0.01));
    QVERIFY(p.stiffnessLastPoint.value <= 800); // inside the straight 40%
    QVERIFY(near(p.ultimateStrength, 4000, 0.001));
    QVERIFY(near(p.youngsModulus, 47781.6, 0.01));
    QVERIFY(near(p.yieldStrength, 2917.4, 0.01));
    QVERIFY(near(p.elongationAtBreak, 14.8, 0.002));
}

QTEST_GUILESS_MAIN(TestTestProperties)
#include "tst_testproperties.moc"
