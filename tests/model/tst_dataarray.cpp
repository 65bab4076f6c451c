#include "model/dataarray.h"

#include <QTest>
#include <limits>

class TestDataArray : public QObject {
    Q_OBJECT

private slots:
    void readingPointOneOfNewSeriesRaisesIndexError();
    void readingOutsideOneToLengthRaises_data();
    void readingOutsideOneToLengthRaises();
    void writingPastEndFillsGapWithZeros();
    void writingPointBelowOneRaisesAndLeavesSeries_data();
    void writingPointBelowOneRaisesAndLeavesSeries();
    void overwritingKeepsLength();
    void clearDropsEveryPoint();
    void appendingGrowsStorageGeometrically();
};

void TestDataArray::readingPointOneOfNewSeriesRaisesIndexError() {
    const DataArray series;
    QCOMPARE(series.Length(), 0);
    try {
        (void)series.Value(1);
        QFAIL("no index error");
    } catch (const DataArrayError& error) {
        QCOMPARE(error.code(), static_cast<std::int32_t>(0x800403E8u));
        QCOMPARE(error.code(), -2147220504);
        QCOMPARE(error.source(), std::string("DataArray"));
        QCOMPARE(error.description(), std::string("Index out of bounds."));
        QCOMPARE(std::string(error.what()), std::string("Index out of bounds."));
    }
}

void TestDataArray::readingOutsideOneToLengthRaises_data() {
    QTest::addColumn<std::int32_t>("index");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("lowest") << std::numeric_limits<std::int32_t>::min();
    QTest::newRow("one past the end") << 4;
    QTest::newRow("highest") << std::numeric_limits<std::int32_t>::max();
}

void TestDataArray::readingOutsideOneToLengthRaises() {
    QFETCH(std::int32_t, index);
    DataArray series;
    series.SetValue(3, 7);
    QVERIFY_THROWS_EXCEPTION(DataArrayError, (void)series.Value(index));
    QCOMPARE(series.Length(), 3);
    QCOMPARE(series.Value(3), 7);
}

void TestDataArray::writingPastEndFillsGapWithZeros() {
    DataArray series;
    series.SetValue(5, -42);
    QCOMPARE(series.Length(), 5);
    for (std::int32_t i = 1; i <= 4; ++i) {
        QCOMPARE(series.Value(i), 0);
    }
    QCOMPARE(series.Value(5), -42);
}

void TestDataArray::writingPointBelowOneRaisesAndLeavesSeries_data() {
    QTest::addColumn<std::int32_t>("index");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -3;
    QTest::newRow("lowest") << std::numeric_limits<std::int32_t>::min();
}

void TestDataArray::writingPointBelowOneRaisesAndLeavesSeries() {
    QFETCH(std::int32_t, index);
    DataArray series;
    series.SetValue(1, 11);
    series.SetValue(2, 22);
    QVERIFY_THROWS_EXCEPTION(DataArrayError, series.SetValue(index, 99));
    QCOMPARE(series.Length(), 2);
    QCOMPARE(series.Value(1), 11);
    QCOMPARE(series.Value(2), 22);
}

void TestDataArray::overwritingKeepsLength() {
    DataArray series;
    for (std::int32_t i = 1; i <= 10; ++i) {
        series.SetValue(i, i * 100);
    }
    series.SetValue(3, -1);
    QCOMPARE(series.Length(), 10);
    QCOMPARE(series.Value(3), -1);
    QCOMPARE(series.Value(4), 400);
}

void TestDataArray::clearDropsEveryPoint() {
    DataArray series;
    series.SetValue(8, 1);
    series.Clear();
    QCOMPARE(series.Length(), 0);
    QCOMPARE(series.CapacityBytes(), std::size_t{0});
    QVERIFY_THROWS_EXCEPTION(DataArrayError, (void)series.Value(1));
    series.SetValue(1, 5);
    QCOMPARE(series.Length(), 1);
}

void TestDataArray::appendingGrowsStorageGeometrically() {
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
    QCOMPARE(series.Length(), kPoints);
    QCOMPARE(series.Value(kPoints), kPoints);
    QVERIFY2(capacityChanges < 40, qPrintable(QString::number(capacityChanges)));
    QVERIFY(series.CapacityBytes() <= sizeof(std::int32_t) * 2 * kPoints);
}

QTEST_APPLESS_MAIN(TestDataArray)
#include "tst_dataarray.moc"
