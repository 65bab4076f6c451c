#include "standards/setstatistics.h"

#include <QFile>
#include <QTest>
#include <cmath>

class TestSetStatistics : public QObject {
    Q_OBJECT

private slots:
    // The mean, deviation, coefficient and 95% interval of sets worked by hand.
    void setsMatchHandWorkedIntervals_data() {
        QTest::addColumn<QStringList>("fields");
        QFile file(TORVIK_STANDARDS_DATA "statistics.tsv");
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).chopped(1);
            if (!line.startsWith('#') && !line.isEmpty())
                QTest::newRow(qPrintable(line.section('\t', 0, 0))) << line.split('\t').mid(1);
        }
    }

    void setsMatchHandWorkedIntervals() {
        QFETCH(QStringList, fields);
        std::vector<SetMember> members;
        for (const QString& value : fields[0].split(' '))
            members.push_back(value == "x" ? SetMember{1e9, "broke in the grips"}
                                           : SetMember{value.toDouble(), {}});
        const SetStatistics s = StatisticsOfSet(members);
        const std::optional<double> got[] = {s.mean, s.standardDeviation, s.coefficientOfVariation,
                                             s.confidenceLow, s.confidenceHigh};
        for (int i = 0; i < 5; ++i) {
            bool number = false;
            const double wanted = fields[i + 1].toDouble(&number);
            QCOMPARE(got[i].has_value(), number);
            if (number)
                QVERIFY2(std::fabs(*got[i] - wanted) <= 1e-6 * std::fabs(wanted),
                         qPrintable(QString("column %1: %2").arg(i).arg(*got[i], 0, 'g', 10)));
        }
        if (fields[0].contains('x')) {
            QCOMPARE(s.leftOut.size(), std::size_t{1});
            QCOMPARE(s.leftOut[0].first, std::size_t{1});
            QCOMPARE(s.leftOut[0].second, std::string("broke in the grips"));
        }
    }

    // Student's t against a printed table, from one degree of freedom to many.
    void studentsTMatchesItsTable_data() {
        QTest::addColumn<int>("freedom");
        QTest::addColumn<double>("t");
        const std::pair<int, double> table[] = {{1, 12.7062}, {2, 4.3027},  {3, 3.1824},
                                                {5, 2.5706},  {10, 2.2281}, {30, 2.0423},
                                                {120, 1.9799}};
        for (const auto& [freedom, t] : table)
            QTest::addRow("%d", freedom) << freedom << t;
    }

    void studentsTMatchesItsTable() {
        QFETCH(int, freedom);
        QFETCH(double, t);
        QVERIFY(std::fabs(StudentT95(freedom) - t) <= 0.00006);
    }
};

QTEST_GUILESS_MAIN(TestSetStatistics)
#include "tst_setstatistics.moc"
