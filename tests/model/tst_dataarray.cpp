#include "model/dataarray.h"

#include <QTest>
#include <limits>

class TestDataArray : public QObject {
    Q_OBJECT

private slots:
    void pointOutsideTheSeriesRaisesTheIndexErrorAndLeavesIt_data() {
        QTest::addColumn<bool>("write");
        QTest::addColumn<std::int32_t>("index");
        QTest::newRow("read 0") << false << 0;
        QTest::newRow("read one past the end") << false << 4;
        QTest::newRow("read lowest") << false << std::numeric_limits<std::int32_t>::min();
        QTest::newRow("read highest") << false << std::numeric_limits<std::int32_t>::max();
        QTest::newRow("write 0") << true << 0;
        QTest::newRow("write lowest") << true << std::numeric_limits<std::int32_t>::min();
    }

    void pointOutsideTheSeriesRaisesTheIndexErrorAndLeavesIt() {
        QFETCH(bool, write);
        QFETCH(std::int32_t, index);
        DataArray series;
        series.SetValue(3, 7);
        try {
            write ? series.SetValue(index, 99) : (void)series.Value(index);
            QFAIL("no index error");
        } catch (const DataArrayError& error) {
            QCOMPARE(error.code(), -2147220504); // 0x800403E8
            QCOMPARE(error.source(), std::string("DataArray"));
            QCOMPARE(error.description(), std::string("Index out of bounds."));
            QCOMPARE(std::string(error.what()), std::string("Index out of bounds."));
        }
        QCOMPARE(series.Length(), 3);
        QCOMPARE(series.Value(3), 7);
    }

    void writingPastEndFillsGapWithZerosUntilClearDropsAll() {
        DataArray series;
        series.SetValue(5, -42);
        series.SetValue(2, -1);
        QCOMPARE(series.Length(), 5);
        QCOMPARE((QList<std::int32_t>{series.Value(1), series.Value(2), series.Value(3),
                                      series.Value(4), series.Value(5)}),
                 (QList<std::int32_t>{0, -1, 0, 0, -42}));
        series.Clear();
        QCOMPARE(series.Length(), 0);
        QCOMPARE(series.CapacityBytes(), std::size_t{0});
        series.SetValue(1, 5);
        QCOMPARE(series.Length(), 1);
    }

    void appendingGrowsStorageGeometrically() {
        // Acquisition appends one point at a time; each append must not copy the
        // whole series, and the spare room must stay within a factor of two.
        DataArray series;
        std::size_t capacityChanges = 0;
        std::size_t capacity = series.CapacityBytes();
        constexpr std::int32_t kPoints = 100'000;
        for (std::int32_t i = 1; i <= kPoints; ++i) {
            series.SetValue(i, i);
            if (series.CapacityBytes() != capacity) {
                capacity = series.CapacityBytes();
                ++capacityChanges;
            }
        }
        QCOMPARE(series.Value(kPoints), kPoints);
        QVERIFY2(capacityChanges < 40, qPrintable(QString::number(capacityChanges)));
        QVERIFY(series.CapacityBytes() <= sizeof(std::int32_t) * 2 * kPoints);
    }
};

QTEST_APPLESS_MAIN(TestDataArray)
#include "tst_dataarray.moc"
