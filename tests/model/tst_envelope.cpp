#include "model/envelope.h"
#include "modelfakes.h"

#include <QTest>
#include <cstdlib>

// The envelope of a curve over pixel columns: which points it keeps, in the
// curve's order, whether the curve is given at once or in parts.
class TestEnvelope : public QObject {
    Q_OBJECT

private slots:
    void keepsFirstLowestHighestAndLastOfEachRun_data() {
        QTest::addColumn<QByteArrayList>("row");
        for (const QByteArrayList& row : dataRows("envelope.tsv"))
            QTest::newRow(row[0]) << row;
    }

    // Asking for the kept points half way through, as the live curve does at
    // each refresh, leaves the result unchanged.
    void keepsFirstLowestHighestAndLastOfEachRun() {
        QFETCH(QByteArrayList, row);
        Envelope envelope(number(row[1]), number(row[2]), row[3].toInt());
        const QByteArrayList points = row[4].split(' ');
        for (qsizetype i = 0; i < points.size(); ++i) {
            const QByteArrayList xy = points[i].split(',');
            envelope.add(static_cast<std::size_t>(i), number(xy[0]), number(xy[1]));
            if (i == points.size() / 2)
                envelope.points();
        }
        QByteArrayList kept;
        for (const Envelope::Point& point : envelope.points())
            kept << QByteArray::number(static_cast<qulonglong>(point.index));
        QCOMPARE(kept.join(' '), row[5]);
    }

private:
    static double number(const QByteArray& text) { return std::strtod(text.constData(), nullptr); }
};

QTEST_APPLESS_MAIN(TestEnvelope)
#include "tst_envelope.moc"
