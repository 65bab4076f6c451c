#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"
#include "results/chartnavigator.h"
#include "results/resultschart.h"
#include "results/resultsview.h"

#include <QAccessible>
#include <QChart>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QTableView>
#include <QTest>
#include <QValueAxis>
#include <QXYSeries>
#include <cmath>

// The results area: what ShowResults puts in the chart, the grid and the
// summary for each kind of test, view and units; its clearing; its geometry.
class TestResultsView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }

    // The design captions, empty boxes and grid, the test-specific pair
    // hidden. Every point as a number text (a blank in the sign place, no
    // zero before the point) below the headings, also for a screen reader.
    // ClearResults empties all but the captions; without an experiment only
    // the axis titles follow.
    void startsEmptyListsEveryPointAndClearingKeepsCaptions() {
        ResultsView view;
        QCOMPARE(label(view, "labelMaxLoad").text(), QStringLiteral("Max. Load"));
        QCOMPARE(label(view, "labelMaxDisp").text(), QStringLiteral("Max. Displacement"));
        QVERIFY(box(view, "textMaxLoad").isReadOnly() && box(view, "textTestSpecific").isHidden());
        QVERIFY(label(view, "labelTestSpecific").isHidden() && gridIsEmpty(view));
        QCOMPARE(accessible(&box(view, "textMaxDisp"))->text(QAccessible::Name),
                 QStringLiteral("Max. Displacement"));
        QVERIFY(!accessible(&grid(view))->text(QAccessible::Name).isEmpty());
        const Experiment experiment = compressionTest();
        view.ShowResults(experiment, kUnitsEnglish, 1, true);
        QCOMPARE(view.gridRows(), 4);
        QCOMPARE(cells(view), QStringList({" 0", " 0", " .0125", " 1", "-.0029", " 12.4"}));
        QAccessibleTableInterface* table = accessible(&grid(view))->tableInterface();
        QVERIFY(table && table->rowCount() == 3);
        QCOMPARE(table->cellAt(2, 0)->text(QAccessible::Name), QStringLiteral("-.0029"));
        QCOMPARE(QStringList({table->columnDescription(0), table->columnDescription(1)}),
                 QStringList({"Displacement", "Load"}));
        QCOMPARE(box(view, "textMaxLoad").text(), QStringLiteral("12.4"));
        QCOMPARE(box(view, "textMaxDisp").text(), QStringLiteral("0.0124"));
        QCOMPARE(box(view, "textMaxDisp").accessibleDescription(), QStringLiteral("0.0124"));
        view.ClearResults();
        QVERIFY(gridIsEmpty(view) && box(view, "textMaxLoad").text().isEmpty() &&
                series(view).count() == 0);
        view.ShowResults(experiment, kUnitsMetric, 1, false);
        QCOMPARE(titlesAndCaptions(view), QStringList({"Displacement (mm)", "Load (N)",
                                                       "Max. Load (lb)", "Max. Disp. (inch)"}));
        QVERIFY(gridIsEmpty(view) && series(view).count() == 0);
    }

    // Stress against strain only for a tension test in view 2; the
    // dimensions divide as entered, in either units. A length of zero in
    // single precision has no strain: load against displacement, titled so.
    void titlesCaptionsAndChartFollowTheEffectiveView_data() {
        QTest::addColumn<std::int32_t>("testType");
        QTest::addColumn<std::int32_t>("viewMode");
        QTest::addColumn<std::int32_t>("units");
        QTest::addColumn<QStringList>("texts"); // x title, y title, two captions
        QTest::addColumn<QPointF>("lastPoint");
        QTest::addColumn<double>("length");
        const auto quotient = [](const QByteArray& text) {
            return text.split('/')[0].toFloat() / text.split('/')[1].toFloat();
        };
        for (const QByteArrayList& row : dataRows("../../results/data/views.tsv"))
            QTest::newRow(row[0]) << row[1].toInt() << row[2].toInt() << row[3].toInt()
                                  << QStringList{row[5], row[6], row[7], row[8]}
                                  << QPointF(quotient(row[9]), quotient(row[10]))
                                  << row[4].toDouble();
    }
    void titlesCaptionsAndChartFollowTheEffectiveView() {
        QFETCH(std::int32_t, testType);
        QFETCH(std::int32_t, viewMode);
        QFETCH(std::int32_t, units);
        QFETCH(QStringList, texts);
        QFETCH(QPointF, lastPoint);
        QFETCH(double, length);
        ResultsView view;
        Experiment experiment = tensionRawTest(testType);
        experiment.SetSampleThickness(1.0f);
        experiment.SetSampleWidth(2.0f);
        experiment.SetSampleLength(static_cast<float>(length));
        view.ShowResults(experiment, units, viewMode, true);
        QCOMPARE(titlesAndCaptions(view), texts);
        QCOMPARE(chart(view).allPoints().size(), 3);
        QCOMPARE(chart(view).allPoints().at(2), lastPoint);
        QVERIFY(chart(view).accessibleDescription().contains(texts[0] + ", 3 points"));
        QCOMPARE(accessible(&box(view, "textMaxLoad"))->text(QAccessible::Name), texts[2]);
        // A report's curve, visited without being kept, is the chart's.
        const ChartCurve curve = ChartPoints(experiment, units, viewMode);
        QList<QPointF> visited;
        curve.points([&](double x, double y) { visited.append({x, y}); });
        QCOMPARE((QStringList{curve.titles.x, curve.titles.y}), texts.mid(0, 2));
        QCOMPARE(visited, chart(view).allPoints());
    }

    // Stress titles stand over stresses only: a tension test whose dimensions
    // are not known is load against displacement in view 2, on screen and in
    // a report's chart.
    void tensionWithoutDimensionsIsLoadAgainstDisplacement() {
        for (const std::int32_t units : {kUnitsEnglish, kUnitsMetric}) {
            ResultsView view;
            const Experiment experiment = tensionRawTest(kTestTension);
            view.ShowResults(experiment, units, 2, true);
            const AxisTitles load = ChartAxisTitles(false, units);
            QCOMPARE(titlesAndCaptions(view).mid(0, 2), QStringList({load.x, load.y}));
            const ChartCurve report = ChartPoints(experiment, units, 2);
            QList<QPointF> points;
            report.points([&](double x, double y) { points.append({x, y}); });
            QCOMPARE(report.titles.y, load.y);
            QCOMPARE(points.last().y(), experiment.load(3, units));
        }
    }

    // Shown with a hardness test, hidden again by ClearResults; a number
    // beyond 16 bits leaves the box empty.
    void hardnessPairAppearsWithItsNumberAndHides() {
        ResultsView view;
        Experiment experiment = testOf(kTestHardness, hardnessPoints());
        view.ShowResults(experiment, kUnitsMetric, 2, true);
        QCOMPARE(label(view, "labelTestSpecific").text(), QStringLiteral("Torvik Hardness"));
        QCOMPARE(box(view, "textTestSpecific").text(), QStringLiteral(" 20"));
        QVERIFY(box(view, "textTestSpecific").isVisibleTo(&view));
        QCOMPARE(accessible(&box(view, "textTestSpecific"))->text(QAccessible::Name),
                 QStringLiteral("Torvik Hardness"));
        view.ClearResults();
        QVERIFY(box(view, "textTestSpecific").isHidden());

        experiment = testOf(kTestHardness, {32768, 1000, 32768, 1244, 32768 - 6554, 1574});
        experiment.SetLoadCellRatio(10.0f);
        view.ShowResults(experiment, kUnitsEnglish, 1, true);
        QVERIFY(box(view, "textTestSpecific").isVisibleTo(&view));
        QVERIFY(box(view, "textTestSpecific").text().isEmpty());
        QCOMPARE(box(view, "textMaxLoad").text(), QStringLiteral("2000.2"));
    }

    void independentAxesEachFollowTheirOwnColumn() {
        ResultsView view;
        view.setIndependentAxes(true);
        view.ShowResults(compressionTest(), kUnitsEnglish, 1, true);
        auto* x = qobject_cast<QValueAxis*>(chart(view).chart()->axes(Qt::Horizontal).constFirst());
        auto* y = qobject_cast<QValueAxis*>(chart(view).chart()->axes(Qt::Vertical).constFirst());
        QCOMPARE(x->max(), double{0.0125f});
        QCOMPARE(y->max(), double{12.4f});
        view.setIndependentAxes(false);
        QCOMPARE(x->max(), double{12.4f});
        QCOMPARE(y->min(), double{-0.0029f});
    }

    // With the marks on, the coupon's stress against strain in MPa shows the
    // modulus line from zero stress up to the peak (Rm 44.12579 MPa), and the
    // proof point, the peak and the break; off, nothing is marked.
    void resultMarksFollowTheViewAndGo() {
        ResultsView view;
        view.setResultMarks(true);
        const Experiment coupon = tensionCoupon();
        view.ShowResults(coupon, kUnitsMetric, 2, true);
        const auto* line = chart(view).chart()->findChild<QXYSeries*>("seriesModulusLine");
        const auto* points = chart(view).chart()->findChild<QXYSeries*>("seriesResultPoints");
        QVERIFY(line && points);
        QCOMPARE(points->count(), 3);
        QVERIFY(std::fabs(points->at(1).y() - 44.12579) < 1e-4);
        QCOMPARE(line->at(0).y(), 0.0);
        QCOMPARE(line->at(1).y(), points->at(1).y());
        QVERIFY(std::fabs(points->at(1).x() - 0.0693 / 2.0) < 1e-3); // strain at the peak
        QVERIFY(chart(view).accessibleDescription().contains("marked: modulus line"));
        view.setResultMarks(false);
        view.ShowResults(coupon, kUnitsMetric, 2, true);
        QCOMPARE(points->count() + line->count(), 0);
    }

    // The figures along each axis of the whole test, as drawn on the chart.
    void wholeTestAxesReadRoundFiguresFromZero_data() {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<QString>("xFigures");
        QTest::addColumn<QString>("yFigures");
        for (const QByteArrayList& row : dataRows("../../results/data/axes.tsv")) {
            QList<QPointF> points;
            for (const QByteArray& pair : row[1].split(';')) {
                const QByteArrayList xy = pair.simplified().split(' ');
                points.append(QPointF(xy[0].toDouble(), xy[1].toDouble()));
            }
            QTest::newRow(row[0]) << points << QString(row[2]) << QString(row[3]);
        }
    }
    void wholeTestAxesReadRoundFiguresFromZero() {
        QFETCH(QList<QPointF>, points);
        QFETCH(QString, xFigures);
        QFETCH(QString, yFigures);
        ResultsChart chart;
        chart.resize(431, 367);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        chart.setIndependentAxes(true);
        chart.setPoints(points);
        QCoreApplication::processEvents();
        QCOMPARE(figures(chart, Qt::Horizontal), xFigures);
        QCOMPARE(figures(chart, Qt::Vertical), yFigures);
    }

    // The readout's label beside a marked point stays inside the plot, off
    // the axes' figures and titles, wherever the point lies.
    void readoutLabelStaysInsideThePlot() {
        QWidget client;
        auto* view = new ResultsView(&client);
        view->fitToClientArea(QSize(660, 427), 25);
        client.show();
        QVERIFY(QTest::qWaitForWindowExposed(&client));
        Experiment experiment = tensionRawTest(kTestTension);
        experiment.SetSampleLength(1e-4f);
        view->ShowResults(experiment, kUnitsMetric, 2, true);
        ResultsChart& shown = chart(*view);
        const QChart& c = *shown.chart();
        const QRect plot = shown.mapFromScene(c.mapToScene(c.plotArea())).boundingRect();
        const QLabel& readout = label(shown, "chartReadout");
        for (const int point : {1, 2, 3}) {
            shown.navigator().markPoint(point);
            QVERIFY2(readout.isVisible() && plot.contains(readout.geometry()),
                     qPrintable(QStringLiteral("point %1").arg(point)));
        }
    }

    // 9900 x 6405 twips is 660 x 427 pixels, a 375-twip status bar 25;
    // pixels are the twips divided by 15, rounded to the nearest.
    void clientAreaPlacesFrameChartAndGrid() {
        QWidget client;
        auto* view = new ResultsView(&client);
        view->fitToClientArea(QSize(660, 427), 25);
        QCOMPARE(view->geometry(), QRect(1, 24, 657, 377));
        QCOMPARE(chart(*view).geometry(), QRect(224, 8, 431, 367));
        QCOMPARE(grid(*view).geometry(), QRect(16, 104, 193, 254));
        QCOMPARE(box(*view, "textMaxLoad").geometry(), QRect(152, 24, 57, 19));
        // Shrunk below the design, the chart keeps the width it had.
        view->fitToClientArea(QSize(200, 427), 25);
        QCOMPARE(view->sizesTwips().frameWidth, 2960.0f);
        QCOMPARE(view->sizesTwips().chartWidth, 6470.0f);
        QCOMPARE(view->width(), 197);
    }

    // The line drawn is the envelope of the test's points and lights exactly
    // the pixels a line through every point lights, each point at the centre
    // of its pixel; also after a resize and with a part of the range shown.
    void lineLightsThePixelsOfEveryPoint() {
        ResultsChart chart;
        chart.resize(431, 367);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QList<QPointF> points;
        std::uint32_t noise = 12345;
        for (int i = 0; i < 60000; ++i) {
            noise = noise * 1103515245u + 12345u;
            // Every tenth thousand points the curve goes back a little.
            const double x = i % 10000 < 9000 ? i : i - 1500.0;
            points.append(
                {x, std::sin(i / 9000.0) * 500.0 + (noise >> 16) % 40 - (i == 20000) * 800});
        }
        chart.setPoints(points);
        const QChart& c = *chart.chart();
        // As shown, after a resize, then with a part of each axis's range.
        for (int step = 0; step < 4; ++step) {
            if (step == 1) {
                chart.resize(300, 200);
                QCoreApplication::processEvents();
            }
            if (step == 2)
                c.axes(Qt::Horizontal).constFirst()->setRange(19000.0, 21000.5);
            if (step == 3)
                c.axes(Qt::Vertical).constFirst()->setRange(-300.0, 200.0);
            QVERIFY(series(chart).count() < points.size() / 10);
            QCOMPARE(picture(chart, series(chart).points(), false),
                     picture(chart, chart.allPoints(), true));
        }
    }

private:
    // 0, 1 and 12.4 lbf; 0, 0.0125 and -0.0029 inch (less the frame's give).
    static Experiment compressionTest() {
        return testOf(kTestCompression, {32768, 1000, 32735, 1205, 32362, 951});
    }
    // Raw load rising and displacement falling, as in tension: 0, 30.6 and
    // 61 lbf (271 N) over 0, 0.0607 and 0.1215 inch (3.086 mm).
    static Experiment tensionRawTest(std::int32_t code) {
        return testOf(code, {32768, 5000, 33768, 4000, 34768, 3000});
    }

    template <typename T> static T& child(const QWidget& view, const char* name) {
        T* widget = view.findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return *widget;
    }
    static QLabel& label(const QWidget& view, const char* name) {
        return child<QLabel>(view, name);
    }
    static QLineEdit& box(const QWidget& view, const char* name) {
        return child<QLineEdit>(view, name);
    }
    static QTableView& grid(const QWidget& view) { return child<QTableView>(view, "grid"); }
    static ResultsChart& chart(const QWidget& view) { return child<ResultsChart>(view, "chart"); }
    static QXYSeries& series(const QWidget& view) {
        const QChartView* c = qobject_cast<const QChartView*>(&view);
        return *static_cast<QXYSeries*>((c ? *c : chart(view)).chart()->series().constFirst());
    }
    // The chart's plot drawn with the chart's pen and render hints through
    // `points`, each placed at the centre of its device pixel if `centred`.
    static QImage picture(const ResultsChart& chart, const QList<QPointF>& points, bool centred) {
        const double ratio = chart.devicePixelRatioF();
        QImage image(chart.size() * ratio, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHints(chart.renderHints());
        painter.setClipRect(QRectF(chart.chart()->plotArea().topLeft() * ratio,
                                   chart.chart()->plotArea().size() * ratio));
        painter.setPen(series(chart).pen());
        QList<QPointF> placed;
        for (const QPointF& point : points) {
            const QPointF at = chart.chart()->mapToPosition(point) * ratio;
            placed.append(centred ? QPointF(std::floor(at.x()) + 0.5, std::floor(at.y()) + 0.5)
                                  : at);
        }
        painter.drawPolyline(placed.constData(), static_cast<int>(placed.size()));
        return image;
    }
    // The texts drawn below the plot (horizontal) or left of it, in order.
    static QString figures(const ResultsChart& chart, Qt::Orientation orientation) {
        const QRectF plot = chart.chart()->plotArea();
        QMap<double, QString> drawn;
        for (const QGraphicsItem* item : chart.scene()->items()) {
            const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
            const QPointF at = text ? text->sceneBoundingRect().center() : QPointF();
            if (!text || !text->isVisible() || text->toPlainText().isEmpty())
                continue;
            if (orientation == Qt::Horizontal ? at.y() > plot.bottom()
                                              : at.y() <= plot.bottom() && at.x() < plot.left())
                drawn.insert(orientation == Qt::Horizontal ? at.x() : -at.y(), text->toPlainText());
        }
        return QStringList(drawn.values()).join(' ');
    }
    static QAccessibleInterface* accessible(QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget);
    }
    static QStringList cells(const QWidget& view) {
        const QAbstractItemModel& model = *grid(view).model();
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.index(row, 0).data().toString() << model.index(row, 1).data().toString();
        return texts;
    }
    static QStringList titlesAndCaptions(const QWidget& view) {
        const QChart& c = *chart(view).chart();
        return {c.axes(Qt::Horizontal).constFirst()->titleText(),
                c.axes(Qt::Vertical).constFirst()->titleText(), label(view, "labelMaxLoad").text(),
                label(view, "labelMaxDisp").text()};
    }
    static bool gridIsEmpty(const ResultsView& view) {
        const QAbstractItemModel& model = *grid(view).model();
        return view.gridRows() == 25 && model.rowCount() == ResultsView::kEmptyGridRows &&
               model.columnCount() == 2 && cells(view).join(QString()).isEmpty() &&
               model.headerData(0, Qt::Horizontal).toString() == QLatin1String("Displacement") &&
               model.headerData(1, Qt::Horizontal).toString() == QLatin1String("Load");
    }
};

QTEST_MAIN(TestResultsView)
#include "tst_resultsview.moc"
