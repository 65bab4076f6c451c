#include "curvegenerator.h"
#include "standards/results.h"

#include <QTest>
#include <cmath>
#include <numbers>

namespace {

// A metal that is straight to `yield`, then hardens as yield + rise × (1 −
// exp(−plastic strain / reach)) to `plastic` strain, holds its peak over a
// further `flat` plastic strain, necks to 0.8 of it and breaks.
struct Material {
    double modulus, yield, rise, reach, plastic, flat, neck;
    double stress(double p) const { return yield + rise * (1.0 - std::exp(-p / reach)); }
    double peak() const { return stress(plastic); }
};

struct Specimen {
    Material m;
    double area, gauge, toe;
    int straightPoints, plasticPoints;
    bool irregular, noisy;
};

Readings Generate(const Specimen& s) {
    const Material& m = s.m;
    CurveGenerator g(7);
    const auto plasticPiece = [m](double from, double to, double f0, double f1) {
        return [=](double t) {
            const double p = from + t * (to - from);
            const double f = f1 < 0 ? m.stress(p) : f0 + t * (f1 - f0);
            return std::pair{f / m.modulus + p, f};
        };
    };
    g.line(m.yield / m.modulus, m.yield, s.straightPoints, s.irregular)
        .add(plasticPiece(0, m.plastic, 0, -1), s.plasticPoints, s.irregular)
        .add(plasticPiece(m.plastic, m.plastic + m.flat, m.peak(), m.peak()), 40, s.irregular)
        .add(
            plasticPiece(m.plastic + m.flat, m.plastic + m.flat + m.neck, m.peak(), 0.8 * m.peak()),
            30, s.irregular)
        .line(g.lastStrain(), 0, 1);
    return g.readings(s.area, s.gauge, m.modulus, s.toe, s.noisy);
}

TestResults Compute(const Readings& r, const TestInput& input) {
    return ComputeResults(r.force, r.extension, input);
}

double Value(const TestResults& results, const char* symbol) {
    const Result* result = results.Find(symbol);
    return result && result->value ? *result->value : std::nan("");
}

QString Reason(const TestResults& results, const char* symbol) {
    const Result* result = results.Find(symbol);
    return result ? QString::fromStdString(result->reason) : QStringLiteral("no such result");
}

void Near(double got, double wanted, double within, const char* what) {
    QVERIFY2(std::fabs(got - wanted) <= within,
             qPrintable(QString("%1: %2, not %3").arg(what).arg(got, 0, 'g', 8).arg(wanted)));
}

TestInput TensionInput(const Specimen& s) {
    TestInput input;
    input.area = s.area;
    input.gaugeLength = s.gauge;
    return input;
}

// The aluminium coupon: 0.125 by 0.5 by 2 in, 10 Msi, straight to 30 ksi
// over 2.5% of its 1,970 points.
const Material kAluminium{10e6, 30e3, 16e3, 0.03, 0.09, 0.02, 0.03};
const Specimen kCoupon{kAluminium, 0.0625, 2.0, 0.0, 49, 1849, false, false};
// A specimen at the simulator's scale of force and travel, so that its
// straight part spans many counts of the simulated extension.
const Material kSoft{120e3, 2000, 1200, 0.03, 0.06, 0.02, 0.03};
const Specimen kSimulated{kSoft, 0.1, 2.0, 0.004, 60, 1870, true, true};

} // namespace

Q_DECLARE_METATYPE(Specimen)
Q_DECLARE_METATYPE(TestInput)
Q_DECLARE_METATYPE(Readings)

class TestTensionResults : public QObject {
    Q_OBJECT

private slots:
    // The modulus comes from the straight part however short, the origin of
    // every extension is where it meets zero force, and the offset, the
    // extensions at the peak and at fracture follow from them.
    void continuousYieldingFromTheStraightPart_data() {
        QTest::addColumn<Specimen>("specimen");
        QTest::addColumn<double>("offset"); // percent
        Specimen toe = kCoupon;
        toe.toe = 0.0005;
        Specimen irregular = toe;
        irregular.irregular = true;
        QTest::newRow("aluminium coupon") << kCoupon << 0.2;
        QTest::newRow("with a toe") << toe << 0.2;
        QTest::newRow("toe and irregular spacing") << irregular << 0.2;
        QTest::newRow("offset of 0.5%") << irregular << 0.5;
        QTest::newRow("simulator's noise") << kSimulated << 0.2;
    }

    void continuousYieldingFromTheStraightPart() {
        QFETCH(Specimen, specimen);
        QFETCH(double, offset);
        TestInput input = TensionInput(specimen);
        input.settings.proofOffsetPercent = offset;
        const TestResults r = Compute(Generate(specimen), input);
        const Material& m = specimen.m;
        const double share = specimen.noisy ? 0.01 : 0.002; // of the modulus
        Near(Value(r, "Fm"), m.peak() * specimen.area, 0.002 * m.peak() * specimen.area, "Fm");
        Near(Value(r, "Rm"), m.peak(), 0.002 * m.peak(), "Rm");
        Near(Value(r, "E"), m.modulus, share * m.modulus, "E");
        const QByteArray proof = "Rp" + QByteArray::number(offset);
        Near(Value(r, proof), m.stress(offset / 100), share * m.yield, "Rp");
        const double middle = m.plastic + m.flat / 2;
        Near(Value(r, "Agt"), (m.peak() / m.modulus + middle) * 100, 0.15, "Agt");
        Near(Value(r, "Ag"), middle * 100, 0.15, "Ag");
        Near(Value(r, "At"), (0.8 * m.peak() / m.modulus + m.plastic + m.flat + m.neck) * 100, 0.02,
             "At");
        QCOMPARE(Reason(r, "ReH"), QStringLiteral("continuous yielding"));
        QCOMPARE(Reason(r, "ReL"), QStringLiteral("continuous yielding"));
        QCOMPARE(Reason(r, "Ae"), QStringLiteral("continuous yielding"));
        QVERIFY(r.Find("E")->detail.find("r² ") != std::string::npos);
    }

    // A yield drop with a serrated plateau: ReH the highest stress before the
    // drop, ReL the lowest of the plateau's dips after the first, transient
    // one, Ae to where the force rises above the serrations for good.
    void discontinuousYieldingLeavesOutTheTransientDip_data() {
        QTest::addColumn<bool>("noisy");
        QTest::addColumn<bool>("irregular");
        QTest::newRow("exact") << false << false;
        QTest::newRow("simulator's noise") << true << false;
        QTest::newRow("noise and irregular spacing") << true << true;
    }

    void discontinuousYieldingLeavesOutTheTransientDip() {
        QFETCH(bool, noisy);
        QFETCH(bool, irregular);
        const double modulus = 120e3, upper = 0.025;
        CurveGenerator g(3);
        g.line(upper, 3000, 60, irregular).line(upper + 0.001, 2600, 8, irregular);
        for (const double stress : {2850, 2750, 2850, 2700, 2850, 2760, 2800})
            g.line(g.lastStrain() + 0.002, stress, 15, irregular);
        const double hardening = g.lastStrain();
        g.add(
             [=](double t) {
                 return std::pair{hardening + 0.08 * t, 2800 + 1200 * (1 - std::exp(-4 * t))};
             },
             1500, irregular)
            .line(g.lastStrain() + 0.01, 2800 + 1200 * (1 - std::exp(-4.0)), 20)
            .line(g.lastStrain(), 0, 1);
        TestInput input;
        input.area = 0.1;
        input.gaugeLength = 2.0;
        const TestResults r = Compute(g.readings(0.1, 2.0, modulus, 0.0, noisy), input);
        Near(Value(r, "ReH"), 3000, 3, "ReH");
        Near(Value(r, "ReL"), 2700, 3, "ReL");
        // The hardening rises above the serrations' 2850 at 0.02 × −ln(1 − 50/1200).
        const double above = hardening - 0.02 * std::log(1 - 50.0 / 1200);
        Near(Value(r, "Ae"), (above - upper) * 100, 0.02, "Ae");
        Near(Value(r, "E"), modulus, 0.01 * modulus, "E");
    }

    // A plastic that yields at a first local maximum, draws and hardens to a
    // higher peak: the stress at the first maximum is offered beside Rm when
    // asked for.
    void firstLocalMaximumIsOfferedForPlastics() {
        CurveGenerator g;
        g.line(0.02, 4000, 100).line(0.05, 6000, 100).line(0.08, 5000, 100);
        g.line(0.3, 5000, 300).line(0.5, 7000, 300).line(0.5, 0, 1);
        const Readings readings = g.readings(0.1, 2.0, 200e3, 0.0, true);
        TestInput input;
        input.area = 0.1;
        input.gaugeLength = 2.0;
        QVERIFY(!Compute(readings, input).Find("σy"));
        input.settings.firstLocalMaximum = true;
        const TestResults r = Compute(readings, input);
        Near(Value(r, "σy"), 6000, 5, "σy");
        Near(Value(r, "Rm"), 7000, 5, "Rm");
    }

    // The operator's window, in force or in stress over the original area.
    void fitWindowMayBeSetInForceOrStress_data() {
        QTest::addColumn<int>("basis");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<double>("area");
        QTest::addColumn<QString>("expected"); // the modulus's detail, or its reason
        QTest::newRow("force") << int(WindowBasis::Force) << 200.0 << 700.0 << 0.0625
                               << "fitted from 200 to 700 lbf (points 7 to 19), r² 1";
        QTest::newRow("stress") << int(WindowBasis::Stress) << 3200.0 << 11200.0 << 0.0625
                                << "fitted from 200 to 700 lbf (points 7 to 19), r² 1";
        QTest::newRow("stress without dimensions")
            << int(WindowBasis::Stress) << 3200.0 << 11200.0 << 0.0
            << "a stress window needs the specimen's dimensions";
    }

    void fitWindowMayBeSetInForceOrStress() {
        QFETCH(int, basis);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(double, area);
        QFETCH(QString, expected);
        TestInput input;
        input.area = area;
        input.gaugeLength = 2.0;
        input.settings.windowBasis = static_cast<WindowBasis>(basis);
        input.settings.windowFrom = from;
        input.settings.windowTo = to;
        const TestResults results = Compute(Generate(kCoupon), input);
        const Result* e = results.Find("E");
        QCOMPARE(QString::fromStdString(e->value ? e->detail : e->reason), expected);
    }

    // A curve with no straight part: the modulus and everything measured from
    // its line are empty with the fit's r²; the strength is still there.
    void noStraightPartEmptiesWhatDependsOnIt() {
        CurveGenerator g;
        g.add(
             [](double t) {
                 return std::pair{0.1 * t, 40e3 * std::sqrt(t)};
             },
             1000)
            .line(0.1, 0, 1);
        const TestResults r = Compute(g.readings(0.1, 2.0, 1e6, 0.0, false), TensionInput({}));
        for (const char* symbol : {"E", "Rp0.2", "Agt", "Ag", "At"})
            QVERIFY2(Reason(r, symbol).startsWith("no straight part found (r² 0.9"), symbol);
        QVERIFY(Reason(r, "E").endsWith(" below 0.995)"));
        QCOMPARE(Reason(r, "Rm"), QStringLiteral("specimen dimensions not entered"));
        QCOMPARE(Value(r, "Fm"), 4000.0);
    }

    // Elongation after fracture and reduction of area from what the operator
    // measures after the test.
    void ductilityFromTheFinalDimensions_data() {
        QTest::addColumn<TestInput>("input");
        QTest::addColumn<double>("elongation");
        QTest::addColumn<double>("reduction");
        QTest::addColumn<QString>("why"); // of the empty one
        TestInput round;
        round.shape = SectionShape::Round;
        round.diameter = 0.5;
        round.gaugeLength = 2.0;
        round.finalGaugeLength = 2.5;
        round.finalDiameter = 0.35;
        QTest::newRow("round") << round << 25.0 << 51.0 << QString();
        TestInput flat = round;
        flat.shape = SectionShape::Rectangle;
        flat.thickness = 0.2;
        flat.width = 0.5;
        flat.finalThickness = 0.15;
        flat.finalWidth = 0.4;
        QTest::newRow("rectangular") << flat << 25.0 << 40.0 << QString();
        TestInput noLength = flat;
        noLength.finalGaugeLength = 0;
        QTest::newRow("no final gauge length")
            << noLength << std::nan("") << 40.0 << QString("final gauge length not entered");
        TestInput noWidth = flat;
        noWidth.finalWidth = 0;
        QTest::newRow("no final width")
            << noWidth << 25.0 << std::nan("") << QString("final dimensions not entered");
    }

    void ductilityFromTheFinalDimensions() {
        QFETCH(TestInput, input);
        QFETCH(double, elongation);
        QFETCH(double, reduction);
        QFETCH(QString, why);
        const TestResults r = Compute(Generate(kCoupon), input);
        for (const auto& [symbol, wanted] : {std::pair{"A", elongation}, {"Z", reduction}}) {
            if (std::isnan(wanted))
                QCOMPARE(Reason(r, symbol), why);
            else
                Near(Value(r, symbol), wanted, 1e-9, symbol);
        }
    }

    // Compression: the same law over a cylinder's height and area.
    void compressionFromTheHeight() {
        Specimen cylinder{kAluminium, 0.0, 1.0, 0.0, 60, 1500, false, false};
        TestInput input;
        input.kind = TestKind::Compression;
        input.shape = SectionShape::Round;
        input.diameter = 0.5;
        input.gaugeLength = 1.0;
        const double area = std::numbers::pi / 4 * 0.25;
        cylinder.area = area;
        const TestResults r = Compute(Generate(cylinder), input);
        Near(Value(r, "Rmc"), kAluminium.peak(), 0.001 * kAluminium.peak(), "Rmc");
        Near(Value(r, "Ec"), 10e6, 0.002 * 10e6, "Ec");
        Near(Value(r, "Rpc0.2"), kAluminium.stress(0.002), 0.002 * 30e3, "Rpc0.2");
    }

    void unusableReadingsSayWhy_data() {
        QTest::addColumn<Readings>("readings");
        QTest::addColumn<QString>("why");
        QTest::newRow("two points") << Readings{{0, 1}, {0, 1}} << "too few readings";
        QTest::newRow("not numbers")
            << Readings{{0, std::nan(""), 2}, {0, 1, 2}} << "readings are not numbers";
        QTest::newRow("falling") << Readings{{3, 2, 1}, {0, 1, 2}} << "the force never rises";
        QTest::newRow("uneven") << Readings{{0, 1, 2}, {0, 1}}
                                << "force and extension readings differ in number";
    }

    void unusableReadingsSayWhy() {
        QFETCH(Readings, readings);
        QFETCH(QString, why);
        for (const TestKind kind : {TestKind::Tension, TestKind::Compression, TestKind::Shear,
                                    TestKind::Beam, TestKind::Structure}) {
            TestInput input;
            input.kind = kind;
            const TestResults r = Compute(readings, input);
            QVERIFY(!r.results.empty());
            for (const Result& result : r.results)
                QCOMPARE(QString::fromStdString(result.reason), why);
        }
    }
};

QTEST_GUILESS_MAIN(TestTensionResults)
#include "tst_tensionresults.moc"
