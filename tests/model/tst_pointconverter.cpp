#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/pointconverter.h"
#include "modelfakes.h"

#include <QPointF>
#include <QTest>
#include <cstdlib>
#include <exception>
#include <optional>
#include <vector>

// The converter gives each point exactly as the experiment converts it, and
// fails exactly where the experiment throws, also for readings outside the
// interface's range and for readings met again.
class TestPointConverter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }

    void convertsAsTheExperimentDoes_data() {
        QTest::addColumn<QByteArrayList>("row");
        for (const QByteArrayList& row : dataRows("pointconverter.tsv"))
            QTest::newRow(row[0]) << row;
    }

    void convertsAsTheExperimentDoes() {
        QFETCH(QByteArrayList, row);
        Experiment experiment;
        experiment.SetTestType(row[1].toInt());
        experiment.SetLoadCellRatio(std::strtof(row[3].constData(), nullptr));
        experiment.SetLoadCellOffset(row[4].toInt());
        for (const QByteArray& reading : row[5].split(' ')) {
            const QByteArrayList raw = reading.split(',');
            experiment.AddDataPoint(raw[0].toInt(), raw[1].toInt());
        }
        const std::int32_t units = row[2].toInt();
        const PointConverter converter(experiment, units);
        for (std::int32_t i = 1; i <= experiment.Count(); ++i) {
            std::optional<QPair<float, float>> expected;
            try {
                expected = qMakePair(experiment.Displacement(i, units), experiment.load(i, units));
            } catch (const std::exception&) {
            }
            float displacement = 0.0f;
            float load = 0.0f;
            const bool converted = converter.convert(i, displacement, load);
            QCOMPARE(converted, expected.has_value());
            if (converted)
                QCOMPARE(qMakePair(displacement, load), *expected);
        }
    }

    // In one pass, every point lands in its own place, and a point that
    // does not convert is a failure wherever it lies.
    void convertsEveryPointInTurn_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("failing"); // 0 when every point converts
        for (const int count : {0, 1, 7})
            QTest::addRow("%d points", count) << count << 0;
        QTest::newRow("a middle one fails") << 5 << 3;
        QTest::newRow("last fails") << 5 << 5;
    }

    void convertsEveryPointInTurn() {
        QFETCH(int, count);
        QFETCH(int, failing);
        Experiment experiment;
        for (int i = 1; i <= count; ++i)
            experiment.AddDataPoint(i == failing ? 2147483647 : 30000 + 50 * i, 40000 - 7 * i);
        const PointConverter converter(experiment, kUnitsMetric);
        std::vector<QPointF> points(static_cast<std::size_t>(count));
        const auto store = [&points](std::size_t i, float x, float y) {
            points.at(i) = QPointF(x, y);
        };
        const bool converted = converter.convertEach(1, count, store);
        QCOMPARE(converted, failing == 0);
        for (int i = 1; i <= count && converted; ++i) {
            float displacement = 0.0f;
            float load = 0.0f;
            QVERIFY(converter.convert(i, displacement, load));
            QCOMPARE(points[static_cast<std::size_t>(i - 1)], QPointF(displacement, load));
        }
    }
};

QTEST_APPLESS_MAIN(TestPointConverter)
#include "tst_pointconverter.moc"
