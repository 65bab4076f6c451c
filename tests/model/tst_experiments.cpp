#include "model/experiments.h"

#include <QTest>

class TestExperiments : public QObject {
    Q_OBJECT

private slots:
    void addWithoutKeyReachesByPositionOnly();
    void keysIgnoreLetterCase();
    void duplicateKeyIsRefusedAndChangesNothing();
    void removingMovesLaterMembersUp();
    void removingByKey();
    void positionOrKeyNotPresentIsAFailure_data();
    void positionOrKeyNotPresentIsAFailure();
    void enumerationVisitsMembersInOrder();
};

void TestExperiments::addWithoutKeyReachesByPositionOnly() {
    Experiments experiments;
    Experiment& first = experiments.Add();
    Experiment& second = experiments.Add();
    QCOMPARE(experiments.Count(), 2);
    QCOMPARE(&experiments.Item(1), &first);
    QCOMPARE(&experiments.Item(2), &second);
    QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(std::string()));
    QCOMPARE(first.Count(), 0);
    QCOMPARE(first.SampleLength(), 1.0f);
}

void TestExperiments::keysIgnoreLetterCase() {
    Experiments experiments;
    Experiment& added = experiments.Add("A");
    QCOMPARE(&experiments.Item("a"), &added);
    QCOMPARE(&experiments.Item("A"), &added);
}

void TestExperiments::duplicateKeyIsRefusedAndChangesNothing() {
    Experiments experiments;
    experiments.Add("Tension 1");
    QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Add("TENSION 1"));
    QCOMPARE(experiments.Count(), 1);
}

void TestExperiments::removingMovesLaterMembersUp() {
    Experiments experiments;
    experiments.Add();
    Experiment& second = experiments.Add("b");
    experiments.Remove(1);
    QCOMPARE(experiments.Count(), 1);
    QCOMPARE(&experiments.Item(1), &second);
    QCOMPARE(&experiments.Item("B"), &second);
}

void TestExperiments::removingByKey() {
    Experiments experiments;
    Experiment& first = experiments.Add("x");
    experiments.Add("y");
    experiments.Remove("Y");
    QCOMPARE(experiments.Count(), 1);
    QCOMPARE(&experiments.Item(1), &first);
    QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item("y"));
}

void TestExperiments::positionOrKeyNotPresentIsAFailure_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("key");
    QTest::newRow("position 0") << 0 << QString();
    QTest::newRow("position Count + 1") << 3 << QString();
    QTest::newRow("negative position") << -1 << QString();
    QTest::newRow("unknown key") << 0 << QString("z");
}

void TestExperiments::positionOrKeyNotPresentIsAFailure() {
    QFETCH(int, position);
    QFETCH(QString, key);
    Experiments experiments;
    experiments.Add("a");
    experiments.Add("b");
    if (key.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(position));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Remove(position));
    } else {
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(key.toStdString()));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Remove(key.toStdString()));
    }
    QCOMPARE(experiments.Count(), 2);
}

void TestExperiments::enumerationVisitsMembersInOrder() {
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

QTEST_APPLESS_MAIN(TestExperiments)
#include "tst_experiments.moc"
