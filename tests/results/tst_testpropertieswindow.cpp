#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"
#include "results/testpropertieswindow.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

static QString cell(const TestPropertiesWindow& window, int row, int column) {
    const auto* table = window.findChild<QTableWidget*>("tableProperties");
    return table->item(row, column) ? table->item(row, column)->text() : QString("(none)");
}

class TestTestPropertiesWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void listsFollowsUnitsAndCopies() {
        // 10 lbf and 0.006 inch a step for three steps, then a drop.
        const Experiment experiment = testOf(
            kTestCompression, {32768, 1000, 32440, 1100, 32112, 1200, 31784, 1300, 32700, 1310});
        TestPropertiesWindow window(experiment, kUnitsEnglish);
        // Type, points, peak load, break point and ultimate strength.
        QCOMPARE((QStringList{cell(window, 0, 1), cell(window, 1, 1), cell(window, 2, 0),
                              cell(window, 2, 1), cell(window, 4, 1), cell(window, 12, 1)}),
                 (QStringList{"COMPRESSION", "5", "Peak load (lbf)", "30", "4",
                              "(tension tests only)"}));
        QCOMPARE(window.findChild<QTableWidget*>()->item(2, 1)->data(Qt::AccessibleDescriptionRole),
                 "Peak load (lbf)");

        // The main window's switch, and the operator's choice in the window.
        window.setUnits(kUnitsMetric);
        QCOMPARE(cell(window, 2, 0), "Peak load (N)");
        QCOMPARE(cell(window, 2, 1), "134");
        QSignalSpy chosen(&window, &TestPropertiesWindow::unitsChosen);
        auto* combo = window.findChild<QComboBox*>("comboUnits");
        combo->setCurrentIndex(0);
        emit combo->activated(0);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).value<std::int32_t>(), kUnitsEnglish);
        QCOMPARE(cell(window, 2, 1), "30");

        QTest::mouseClick(window.findChild<QWidget*>("buttonCopy"), Qt::LeftButton);
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.value(0), "Property\tValue");
        QCOMPARE(lines.value(3), "Peak load (lbf)\t30");
    }
};

QTEST_MAIN(TestTestPropertiesWindow)
#include "tst_testpropertieswindow.moc"
