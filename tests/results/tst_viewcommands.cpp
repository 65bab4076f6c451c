#include "documents/chartprint.h"
#include "model/gfunctions.h"
#include "results/chartnavigator.h"
#include "results/resultschart.h"
#include "results/resultsview.h"
#include "shell/mainfixture.h"

#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QValueAxis>

// The View menu of the main window and the results of opened files: units,
// the stress against strain view and its dimensions dialog, the Axis menu.
// One window for the whole run, without a machine; the cases run in order,
// each from the view the one before left.
class TestViewCommands : public QObject {
    Q_OBJECT

private slots:
    // Data files of the test data. The tension test's raw readings are 0,
    // 30.6 and 61 lbf (271 N) over 0, 0.0607 and 0.1215 inch (3.086 mm).
    void initTestCase() {
        InitNameTables();
        m_f.configure(QString());
        m_f.start(file(kTestTension)).show();
    }

    // The file named at start-up is shown at once; cancelling the dialog
    // changes nothing, accepting it shows stress against strain with the
    // dimensions typed in inches, in psi or MPa; the test is then unsaved.
    void stressStrainAsksForDimensionsUsedAsTypedInEitherUnits() {
        Main& main = *m_f.main;
        QCOMPARE(m_f.item<ResultsView>("Frame").gridRows(), 4);
        QCOMPARE(m_f.item<QLineEdit>("textMaxLoad").text(), QStringLiteral("61"));
        QVERIFY(m_f.item<QAction>("mnuAxis").isEnabled());

        answerDialog({"1", "2", "4"}, "CancelButton");
        QVERIFY(m_f.item<QAction>("mnuLoadDisp").isChecked());
        QVERIFY(!m_f.item<QAction>("mnuStressStrain").isChecked());
        QCOMPARE(main.viewMode(), 1);
        QCOMPARE(lastPoint(), QPointF(0.1215f, 61.0f));

        answerDialog({"1", "2", "4"}, "OKButton");
        QVERIFY(!m_f.item<QAction>("mnuLoadDisp").isChecked());
        QVERIFY(m_f.item<QAction>("mnuStressStrain").isChecked());
        QCOMPARE(lastPoint(), QPointF(0.1215f / 4.0f, 61.0f / 2.0f));
        QVERIFY(!main.dataSaved());

        m_f.item<QAction>("mnuMetric").trigger();
        QVERIFY(m_f.item<QAction>("mnuMetric").isChecked());
        QVERIFY(!m_f.item<QAction>("mnuEnglish").isChecked());
        QCOMPARE(lastPoint(), QPointF(3.086f / 101.6f, 271.0f / 1290.32f));
        QCOMPARE(m_f.item<QLineEdit>("textMaxLoad").text(), QStringLiteral("271"));
    }

    // Left in view 2, other kinds show load against displacement with the
    // Axis menu off; the hardness pair comes and goes with its test; a
    // tension file without dimensions shows load against displacement, one
    // with them stress against strain at once.
    void openedFilesFollowTheViewLeftByTheLastTension() {
        Main& main = *m_f.main;
        QCOMPARE(main.viewMode(), 2);
        QVERIFY(main.LoadFile(file(kTestHardness)));
        QVERIFY(!m_f.item<QAction>("mnuAxis").isEnabled());
        QVERIFY(m_f.item<QAction>("mnuStressStrain").isChecked());
        QCOMPARE(yTitle(), QStringLiteral("Load (N)"));
        QVERIFY(m_f.item<QWidget>("textTestSpecific").isVisible());
        QVERIFY(main.LoadFile(file(kTestCompression)));
        QVERIFY(!m_f.item<QWidget>("textTestSpecific").isVisible());
        QCOMPARE(m_f.item<ResultsView>("Frame").gridRows(), 4);
        QVERIFY(main.LoadFile(file(kTestTension)));
        QVERIFY(m_f.item<QAction>("mnuAxis").isEnabled());
        QCOMPARE(yTitle(), QStringLiteral("Load (N)"));
        QCOMPARE(lastPoint(), QPointF(3.086f, 271.0f));
        QVERIFY(main.LoadFile(QStringLiteral(TORVIK_TEST_DATA "view/tension-specimen.tdf")));
        QCOMPARE(yTitle(), QStringLiteral("Stress (MPa)"));
        QCOMPARE(lastPoint(), QPointF(3.086f / 25.4f, 271.0f / 645.16f));
    }

    // With the chart focused, + zooms; View, Zoom Out and a unit switch show
    // the whole test again. A keyboard readout in stress against strain
    // reaches the status bar whole; the layout stays where it was. Print
    // draws the whole test without the mark and leaves the screen zoomed and
    // marked.
    void zoomOutAndUnitsShowTheWholeTestAndTheReadoutReachesTheStatusBar() {
        auto& view = m_f.item<ResultsChart>("chart");
        const QRect frame = m_f.item<ResultsView>("Frame").geometry();
        const int statusBarHeight = m_f.main->statusBar()->height();
        auto& x = *static_cast<QValueAxis*>(chart().axes(Qt::Horizontal).constFirst());
        view.setFocus();
        for (const char* item : {"mnuZoomOut", "mnuEnglish"}) {
            QTest::keyClick(&view, Qt::Key_Plus);
            QCOMPARE(x.tickType(), QValueAxis::TicksDynamic);
            m_f.item<QAction>(item).trigger();
            QCOMPARE(x.tickType(), QValueAxis::TicksFixed);
        }
        const QPointF whole(x.min(), x.max());
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        const QLabel& readout = m_f.item<QLabel>("readoutPanel");
        QCOMPARE(readout.text(),
                 QStringLiteral("Point 2: Strain .0607 inch/inch, Stress 30.6 lbs/sq. inch"));
        QVERIFY(readout.contentsRect().width() >=
                readout.fontMetrics().horizontalAdvance(readout.text()));
        QCOMPARE(m_f.item<ResultsView>("Frame").geometry(), frame);
        QCOMPARE(m_f.main->statusBar()->height(), statusBarHeight);

        QTest::keyClick(&view, Qt::Key_Plus);
        const QPointF zoomed(x.min(), x.max());
        auto& printed = static_cast<ResultsChart&>(*m_f.main->chartForPrint());
        const ChartPicture picture = DrawChart(printed);
        const auto& printedX =
            *static_cast<QValueAxis*>(printed.chart()->axes(Qt::Horizontal).constFirst());
        QCOMPARE(QPointF(printedX.min(), printedX.max()), whole);
        QVERIFY(picture.svg.contains("Strain (inch/inch)") && picture.svg.contains("0.10"));
        QVERIFY(printed.findChild<QLabel*>("chartReadout")->isHidden());
        QCOMPARE(QPointF(x.min(), x.max()), zoomed);
        QVERIFY(readout.text().startsWith("Point 2: "));
    }

    // Tab and Shift+Tab leave the grid for the next and previous controls,
    // and Tab reaches the chart; arrows move within the grid.
    void tabLeavesTheGridAndReachesTheChart() {
        auto& grid = m_f.item<QTableView>("grid");
        auto& view = m_f.item<ResultsChart>("chart");
        m_f.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_f.main.get()));
        for (const Qt::KeyboardModifier modifier : {Qt::NoModifier, Qt::ShiftModifier}) {
            grid.setFocus();
            grid.setCurrentIndex(grid.model()->index(0, 0));
            QTest::keyClick(&grid, Qt::Key_Down);
            QCOMPARE(grid.currentIndex().row(), 1);
            QTest::keyClick(&grid, Qt::Key_Tab, modifier);
            QVERIFY(!grid.hasFocus());
        }
        grid.setFocus();
        for (int presses = 0; presses < 20 && !view.hasFocus(); ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(view.hasFocus());
    }

private:
    static QString file(std::int32_t testType) {
        const char* names[] = {"", "hardness", "compression", "tension"};
        return QStringLiteral(TORVIK_TEST_DATA "view/%1.tdf").arg(QLatin1String(names[testType]));
    }

    void answerDialog(const QStringList& entries, const char* button) {
        const ModalWatcher watcher(QStringLiteral("SampleSize"), [&](QWidget& dialog) {
            const char* names[] = {"editThickness", "editWidth", "editLength"};
            for (int i = 0; i < 3; ++i)
                dialog.findChild<QLineEdit*>(QLatin1String(names[i]))->setText(entries[i]);
            dialog.findChild<QAbstractButton*>(QLatin1String(button))->click();
            return true;
        });
        m_f.item<QAction>("mnuStressStrain").trigger();
        QVERIFY(watcher.done());
    }

    QChart& chart() const { return *m_f.item<QChartView>("chart").chart(); }
    QString yTitle() const { return chart().axes(Qt::Vertical).constFirst()->titleText(); }
    QPointF lastPoint() const { return m_f.item<ResultsChart>("chart").allPoints().constLast(); }

    MainFixture m_f;
};

QTEST_MAIN(TestViewCommands)
#include "tst_viewcommands.moc"
