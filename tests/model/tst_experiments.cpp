#include "model/experiments.h"

#include <QTest>

class TestExperiments : public QObject {
    Q_OBJECT

private slots:
    void keysAreOptionalUniqueAndIgnoreLetterCase() {
        Experiments experiments;
        Experiment& first = experiments.Add();
        Experiment& keyed = experiments.Add("Tension 1");
        QCOMPARE(&experiments.Item(1), &first);
        QCOMPARE(&experiments.Item("tension 1"), &keyed);
        QCOMPARE(first.SampleLength(), 1.0f);
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(std::string()));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Add("TENSION 1"));
        QCOMPARE(experiments.Count(), 2);
        experiments.Remove("TENSION 1");
        QCOMPARE(experiments.Count(), 1);
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item("tension 1"));
    }

    void positionOrKeyNotPresentIsAFailureThatChangesNothing() {
        Experiments experiments;
        experiments.Add("a");
        experiments.Add("b");
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(0));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(3));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item("z"));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Remove(0));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Remove(3));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Remove("z"));
        QCOMPARE(experiments.Count(), 2);
    }

    void removingMovesLaterMembersUpInTheEnumeration() {
        Experiments experiments;
        for (std::int32_t code = 1; code <= 4; ++code) {
            experiments.Add().SetTestType(code);
        }
        experiments.Remove(2);
        QList<std::int32_t> codes;
        for (const Experiment& experiment : experiments) {
            codes.append(experiment.TestType());
        }
        QCOMPARE(codes, (QList<std::int32_t>{1, 3, 4}));
    }
};

QTEST_APPLESS_MAIN(TestExperiments)
#include "tst_experiments.moc"
