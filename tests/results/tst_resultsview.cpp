#include "results/resultsview.h"

#include <QAccessible>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <QXYSeries>

// The results area before any experiment, its clearing and its geometry.
class TestResultsView : public QObject {
    Q_OBJECT

private slots:
    void startsWithCaptionsEmptyBoxesAndTestSpecificPairHidden() {
        ResultsView view;
        QCOMPARE(child<QLabel>(view, "labelMaxLoad")->text(), QStringLiteral("Max. Load"));
        QCOMPARE(child<QLabel>(view, "labelMaxDisp")->text(), QStringLiteral("Max. Displacement"));
        QVERIFY(child<QLineEdit>(view, "textMaxLoad")->text().isEmpty());
        QVERIFY(child<QLineEdit>(view, "textMaxDisp")->text().isEmpty());
        QVERIFY(child<QLineEdit>(view, "textMaxLoad")->isReadOnly());
        QVERIFY(child<QLabel>(view, "labelTestSpecific")->isHidden());
        QVERIFY(child<QLineEdit>(view, "textTestSpecific")->isHidden());
        QVERIFY(gridIsEmpty(view));
        QCOMPARE(accessibleName(child<QLineEdit>(view, "textMaxLoad")),
                 QStringLiteral("Max. Load"));
        QCOMPARE(accessibleName(child<QLineEdit>(view, "textMaxDisp")),
                 QStringLiteral("Max. Displacement"));
        QVERIFY(!accessibleName(child<QTableWidget>(view, "grid")).isEmpty());
        QVERIFY(!accessibleName(child<QChartView>(view, "chart")).isEmpty());
    }

    // ResetGrid restores the empty grid; ClearResults empties boxes and
    // chart and hides the test-specific pair, but keeps the captions.
    void resetGridAndClearResultsRestoreTheEmptyResults() {
        ResultsView view;
        auto* grid = child<QTableWidget>(view, "grid");
        grid->setRowCount(3);
        grid->setItem(1, 1, new QTableWidgetItem(QStringLiteral(" 12.4")));
        grid->setHorizontalHeaderLabels({QStringLiteral("x"), QStringLiteral("y")});
        child<QLabel>(view, "labelMaxLoad")->setText(QStringLiteral("Max. Load (lb)"));
        child<QLineEdit>(view, "textMaxLoad")->setText(QStringLiteral("123.4"));
        child<QLineEdit>(view, "textMaxDisp")->setText(QStringLiteral("0.0125"));
        child<QLabel>(view, "labelTestSpecific")->show();
        child<QLineEdit>(view, "textTestSpecific")->show();
        view.setChartData({QPointF(0, 0), QPointF(1, 5)});
        view.ResetGrid();
        QVERIFY(gridIsEmpty(view));
        QCOMPARE(child<QLineEdit>(view, "textMaxLoad")->text(), QStringLiteral("123.4"));
        view.ClearResults();
        QCOMPARE(child<QLabel>(view, "labelMaxLoad")->text(), QStringLiteral("Max. Load (lb)"));
        QVERIFY(child<QLineEdit>(view, "textMaxLoad")->text().isEmpty());
        QVERIFY(child<QLineEdit>(view, "textMaxDisp")->text().isEmpty());
        QVERIFY(child<QLabel>(view, "labelTestSpecific")->isHidden());
        QVERIFY(child<QLineEdit>(view, "textTestSpecific")->isHidden());
        const QChart* chart = child<QChartView>(view, "chart")->chart();
        QVERIFY(!chart->series().isEmpty());
        QCOMPARE(static_cast<QXYSeries*>(chart->series().constFirst())->count(), 0);
    }

    void independentAxesEachFollowTheirOwnColumn() {
        ResultsView view;
        view.setIndependentAxes(true);
        view.setChartData({QPointF(0, 0), QPointF(0.5, 200)});
        const QChart* chart = child<QChartView>(view, "chart")->chart();
        auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).constFirst());
        auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).constFirst());
        QCOMPARE(x->max(), 0.5);
        QCOMPARE(y->max(), 200.0);
        view.setIndependentAxes(false);
        QCOMPARE(x->max(), 200.0);
        QCOMPARE(y->max(), 200.0);
    }

    // 9900 x 6405 twips is 660 x 427 pixels, a 375-twip status bar 25;
    // pixels are the twips divided by 15, rounded to the nearest.
    void clientAreaPlacesFrameChartAndGrid() {
        QWidget client;
        auto* view = new ResultsView(&client);
        view->fitToClientArea(QSize(660, 427), 25);
        QCOMPARE(view->geometry(), QRect(1, 24, 657, 377));
        QCOMPARE(child<QChartView>(*view, "chart")->geometry(), QRect(224, 8, 431, 367));
        QCOMPARE(child<QTableWidget>(*view, "grid")->geometry(), QRect(16, 104, 193, 254));
        QCOMPARE(child<QLineEdit>(*view, "textMaxLoad")->geometry(), QRect(152, 24, 57, 19));
        // Shrunk below the design, the chart keeps the width it had.
        view->fitToClientArea(QSize(200, 427), 25);
        QCOMPARE(view->sizesTwips().frameWidth, 2960.0f);
        QCOMPARE(view->sizesTwips().chartWidth, 6470.0f);
        QCOMPARE(view->width(), 197);
    }

private:
    template <typename T> static T* child(const ResultsView& view, const char* name) {
        T* widget = view.findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }
    static QString accessibleName(QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    }
    // 24 empty rows under the headings Displacement and Load.
    static bool gridIsEmpty(const ResultsView& view) {
        const auto* grid = child<QTableWidget>(view, "grid");
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int column = 0; column < grid->columnCount(); ++column) {
                if (grid->item(row, column) && !grid->item(row, column)->text().isEmpty())
                    return false;
            }
        }
        return grid->rowCount() == ResultsView::kEmptyGridRows && grid->columnCount() == 2 &&
               grid->horizontalHeaderItem(0)->text() == QLatin1String("Displacement") &&
               grid->horizontalHeaderItem(1)->text() == QLatin1String("Load");
    }
};

QTEST_MAIN(TestResultsView)
#include "tst_resultsview.moc"
