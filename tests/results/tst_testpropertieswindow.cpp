#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"
#include "results/testpropertieswindow.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

// The value beside the row headed `heading`, or "(no row)".
static QString valueOf(const TestPropertiesWindow& window, const QString& heading) {
    const auto* table = window.findChild<QTableWidget*>("tableProperties");
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 0) && table->item(row, 0)->text() == heading)
            return table->item(row, 1)->text();
    return "(no row)";
}

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

    // A tension test saved with its dimensions lists its kind's results
    // after opening, and why one is empty.
    void listsTheResultsOfTheTestsKind() {
        QTemporaryDir folder;
        const std::string path = folder.filePath("t.tdf").toStdString();
        QVERIFY(tensionCoupon().SaveFile(path));
        Experiment opened;
        RecordingMessages messages;
        QVERIFY(opened.LoadFile(path, messages));
        TestPropertiesWindow window(opened, kUnitsEnglish);
        QCOMPARE(valueOf(window, "Proof strength at 0.2% offset (Rp0.2) [psi]"), "6399.902");
        QVERIFY(valueOf(window, "Modulus of elasticity (E) [psi]")
                    .startsWith("184854.2 (fitted from 40 to 160 lbf"));
        QCOMPARE(valueOf(window, "Elongation after fracture (A) [%]"),
                 "(final gauge length not entered)");
        window.setUnits(kUnitsMetric);
        QCOMPARE(valueOf(window, "Tensile strength (Rm) [MPa]"), "44.12579");
    }
};

QTEST_MAIN(TestTestPropertiesWindow)
#include "tst_testpropertieswindow.moc"
