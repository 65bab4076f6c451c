#include "curvegenerator.h"
#include "standards/results.h"

#include <QFile>
#include <QTest>
#include <cmath>

namespace {

using Pairs = QMap<QString, QString>;

Pairs PairsOf(const QString& text) {
    Pairs pairs;
    for (const QString& pair : text.split(' ', Qt::SkipEmptyParts))
        pairs.insert(pair.section('=', 0, 0), pair.section('=', 1));
    return pairs;
}

TestInput InputOf(const QString& kind, const Pairs& p) {
    TestInput in;
    in.kind = kind == "beam"    ? TestKind::Beam
              : kind == "shear" ? TestKind::Shear
                                : TestKind::Structure;
    in.beam = p.value("beam") == "4" ? BeamKind::FourPoint : BeamKind::ThreePoint;
    in.shear = p.value("shear") == "punch"   ? ShearKind::Punch
               : p.value("shear") == "plate" ? ShearKind::Plate
                                             : ShearKind::Pin;
    in.span = p.value("span").toDouble();
    in.loadingSpan = p.value("loading").toDouble();
    in.beamWidth = p.value("width").toDouble();
    in.beamDepth = p.value("depth").toDouble();
    in.pinDiameter = p.value("pin").toDouble();
    in.shearPlanes = p.value("planes", "1").toInt();
    in.punchDiameter = p.value("punch").toDouble();
    in.shearThickness = p.value("thickness").toDouble();
    in.shearLength = p.value("length").toDouble();
    return in;
}

} // namespace

class TestOtherKindResults : public QObject {
    Q_OBJECT

private slots:
    // Flexural stress, strain and modulus of three- and four-point beams, the
    // shear strength of a pin, a punch and a plate, and a structure's
    // stiffness and energy, against values worked by hand.
    void formulasMatchHandWorkedValues_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<double>("force");
        QTest::addColumn<double>("slope");
        QTest::addColumn<QString>("expected");
        QFile file(TORVIK_STANDARDS_DATA "handworked.tsv");
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).chopped(1);
            if (line.startsWith('#') || line.isEmpty())
                continue;
            const QStringList f = line.split('\t');
            QCOMPARE(f.size(), 6);
            QTest::newRow(qPrintable(f[0]))
                << f[1] << f[2] << f[3].toDouble() << f[4].toDouble() << f[5];
        }
    }

    void formulasMatchHandWorkedValues() {
        QFETCH(QString, kind);
        QFETCH(QString, inputs);
        QFETCH(double, force);
        QFETCH(double, slope);
        QFETCH(QString, expected);
        const Pairs in = PairsOf(inputs);
        CurveGenerator g;
        g.line(force / slope, force, 200).line(force / slope, 0, 1);
        const Readings r = g.readings(1, 1, slope, in.value("toe").toDouble(), false);
        const TestResults results = ComputeResults(r.force, r.extension, InputOf(kind, in));
        // Symbols and values have no blanks; a reason, which has, ends the list.
        const QStringList pairs = expected.split(' ');
        for (int i = 0; i < pairs.size(); ++i) {
            const QString symbol = pairs[i].section('=', 0, 0);
            const Result* result = results.Find(symbol.toStdString());
            QVERIFY2(result, qPrintable(symbol));
            bool number = false;
            const double wanted = pairs[i].section('=', 1).toDouble(&number);
            if (!number) {
                const QString why = pairs.mid(i).join(' ').section('=', 1);
                QCOMPARE(QString::fromStdString(result->reason), why);
                break;
            }
            QVERIFY2(result->value && std::fabs(*result->value - wanted) <= 2e-6 * wanted,
                     qPrintable(QString("%1: %2, not %3")
                                    .arg(symbol)
                                    .arg(result->value.value_or(NAN), 0, 'g', 10)
                                    .arg(wanted)));
        }
    }

    // Every result converts to metric by its unit's factor alone.
    void metricValuesDifferOnlyByTheUnits_data() {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<double>("english");
        QTest::addColumn<double>("metric");
        QTest::addColumn<QString>("unit");
        QTest::newRow("stress") << int(Quantity::Stress) << 20000.0 << 137.8952 << "MPa";
        QTest::newRow("force") << int(Quantity::Force) << 1000.0 << 4448.22167 << "N";
        QTest::newRow("length") << int(Quantity::Length) << 0.5 << 12.7 << "mm";
        QTest::newRow("stiffness") << int(Quantity::Stiffness) << 2540.0 << 444.822167 << "N/mm";
        QTest::newRow("energy") << int(Quantity::Energy) << 100.0 << 11.2984830 << "J";
        QTest::newRow("percent") << int(Quantity::Percent) << 12.5 << 12.5 << "%";
    }

    void metricValuesDifferOnlyByTheUnits() {
        QFETCH(int, quantity);
        QFETCH(double, english);
        QFETCH(double, metric);
        QFETCH(QString, unit);
        const Result result = Valued("x", static_cast<Quantity>(quantity), english);
        QVERIFY(std::fabs(*result.In(UnitSystem::Metric) - metric) <= 1e-7 * metric);
        QCOMPARE(QString::fromStdString(UnitText(result.quantity, UnitSystem::Metric)), unit);
    }
};

QTEST_GUILESS_MAIN(TestOtherKindResults)
#include "tst_otherkindresults.moc"
