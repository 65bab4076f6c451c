#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"
#include "results/resultschart.h"
#include "results/resultsview.h"

#include <QChart>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QValueAxis>
#include <cmath>
#include <memory>

// Zoom, pan and the point readout of the results chart, driven by mouse and
// key events on the real widgets, scripted in chartnav.tsv.
class TestChartNavigator : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        InitNameTables();
        QList<std::int32_t> raw;
        for (std::int32_t i = 0; i < 21; ++i)
            raw << 32768 + 30 * i << 5000 - 50 * i;
        m_line = testOf(kTestTension, raw);
    }
    void init() {
        m_client = std::make_unique<QWidget>();
        m_view = new ResultsView(m_client.get());
        m_view->setIndependentAxes(true);
        m_view->fitToClientArea(QSize(660, 427), 25);
        m_client->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_client.get()));
        m_view->ShowResults(m_line, kUnitsEnglish, 1, true);
        m_chart = m_view->findChild<ResultsChart*>(QStringLiteral("chart"));
        m_chart->setFocus();
        m_whole = shown();
    }

    // The range shown, round figures while zoomed, the titles kept, the
    // range in the description, and the grid on the first point shown.
    void zoomAndPanFollowMouseAndKeys_data() { rows("zoom"); }
    void zoomAndPanFollowMouseAndKeys() {
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        run(script);
        const QRectF range = shown();
        const QList<double> shares = {(range.left() - m_whole.left()) / m_whole.width(),
                                      (range.right() - m_whole.left()) / m_whole.width(),
                                      (range.top() - m_whole.top()) / m_whole.height(),
                                      (range.bottom() - m_whole.top()) / m_whole.height()};
        const QStringList figures = expected[0].split(QLatin1Char(' '));
        for (int i = 0; i < 4; ++i)
            QVERIFY2(std::abs(shares[i] - figures[i].toDouble()) < 0.01,
                     qPrintable(QString::number(shares[i])));
        const bool zoomed = expected[0] != QLatin1String("0 1 0 1");
        for (QValueAxis* axis : {&axis(Qt::Horizontal), &axis(Qt::Vertical)}) {
            QCOMPARE(axis->tickType() == QValueAxis::TicksDynamic, zoomed);
            const double mantissa =
                axis->tickInterval() / std::pow(10.0, std::floor(std::log10(axis->tickInterval())));
            QVERIFY(!zoomed || QList<double>({1, 2, 5}).contains(std::round(mantissa * 1e9) / 1e9));
        }
        QCOMPARE(axis(Qt::Horizontal).titleText(), QStringLiteral("Displacement (inch)"));
        QCOMPARE(m_chart->accessibleDescription().contains(QLatin1String("zoomed to")), zoomed);
        QTableView& grid = *m_view->findChild<QTableView*>(QStringLiteral("grid"));
        QCOMPARE(grid.currentIndex().row() + 1, expected[1].toInt());
        QVERIFY(grid.viewport()->rect().intersects(grid.visualRect(grid.currentIndex())) ||
                expected[1] == QLatin1String("0"));
    }

    // The point marked, its readout in the label beside it, the status
    // signal and the chart's description.
    void readoutMarksThePoint_data() { rows("readout"); }
    void readoutMarksThePoint() {
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        QSignalSpy readouts(m_view, &ResultsView::readoutChanged);
        run(script);
        const QString text = expected[0];
        QCOMPARE(readouts.isEmpty() ? QString() : readouts.last().at(0).toString(), text);
        const QLabel& label = *m_chart->findChild<QLabel*>(QStringLiteral("chartReadout"));
        QCOMPARE(label.isVisible(), !text.isEmpty());
        QCOMPARE(label.accessibleDescription(), text);
        QCOMPARE(m_chart->accessibleDescription().endsWith(QStringLiteral("marked ") + text),
                 !text.isEmpty());
    }

private:
    void rows(const char* kind) {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("expected");
        for (const QByteArrayList& row : dataRows("../../results/data/chartnav.tsv"))
            if (row[0] == kind)
                QTest::newRow(row[1]) << QString(row[2]) << QStringList{row[3], row.value(4)};
    }

    QValueAxis& axis(Qt::Orientation orientation) const {
        return *static_cast<QValueAxis*>(m_chart->chart()->axes(orientation).constFirst());
    }
    QRectF shown() const {
        return QRectF(QPointF(axis(Qt::Horizontal).min(), axis(Qt::Vertical).min()),
                      QPointF(axis(Qt::Horizontal).max(), axis(Qt::Vertical).max()));
    }
    // A place given as shares of the plot, from its bottom left.
    QPoint place(const QStringList& step, int at) const {
        const QRectF plot = m_chart->chart()->plotArea();
        const QPointF inChart(plot.left() + step[at].toDouble() * plot.width(),
                              plot.bottom() - step[at + 1].toDouble() * plot.height());
        return m_chart->mapFromScene(m_chart->chart()->mapToScene(inChart));
    }

    void run(const QString& script) {
        QWidget* viewport = m_chart->viewport();
        for (const QString& text : script.split(QStringLiteral("; "))) {
            const QStringList step = text.split(QLatin1Char(' '));
            const QString& verb = step[0];
            if (verb == QLatin1String("band") || verb == QLatin1String("middle") ||
                verb == QLatin1String("shift")) {
                const Qt::MouseButton button = verb == "middle" ? Qt::MiddleButton : Qt::LeftButton;
                const Qt::KeyboardModifiers keys =
                    verb == "shift" ? Qt::ShiftModifier : Qt::NoModifier;
                QTest::mousePress(viewport, button, keys, place(step, 1));
                QTest::mouseMove(viewport, place(step, 3));
                QTest::mouseRelease(viewport, button, keys, place(step, 3));
            } else if (verb == QLatin1String("wheel")) {
                QWheelEvent wheel(place(step, 1), viewport->mapToGlobal(place(step, 1)), {},
                                  QPoint(0, 120 * step[3].toInt()), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(viewport, &wheel);
            } else if (verb == QLatin1String("double")) {
                QTest::mouseDClick(viewport, Qt::LeftButton, {}, place(step, 1));
            } else if (verb == QLatin1String("hover")) {
                QMouseEvent move(QEvent::MouseMove, place(step, 1),
                                 viewport->mapToGlobal(place(step, 1)), Qt::NoButton, {}, {});
                QCoreApplication::sendEvent(viewport, &move);
            } else if (verb == QLatin1String("key")) {
                const QKeySequence key(step[1]);
                QTest::keyClick(m_chart, Qt::Key(key[0].key()), key[0].keyboardModifiers());
            } else if (verb == QLatin1String("row")) {
                QTableView& grid = *m_view->findChild<QTableView*>(QStringLiteral("grid"));
                const QModelIndex cell = grid.model()->index(step[1].toInt() - 1, 0);
                QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                                  grid.visualRect(cell).center());
            } else if (verb == QLatin1String("gap")) {
                m_chart->setPoints({QPointF(0, 0), QPointF(1, 1)}, {1, 3});
            } else if (verb == QLatin1String("out")) {
                m_view->zoomOut();
            } else if (verb == QLatin1String("show")) {
                m_view->ShowResults(m_line, kUnitsEnglish, 1, true);
            }
        }
    }

    Experiment m_line;
    std::unique_ptr<QWidget> m_client;
    ResultsView* m_view = nullptr;
    ResultsChart* m_chart = nullptr;
    QRectF m_whole;
};

QTEST_MAIN(TestChartNavigator)
#include "tst_chartnavigator.moc"
