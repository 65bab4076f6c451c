#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>
#include <cstdint>

class Experiment;
class QLineSeries;
class QValueAxis;

// The curve of a test as it is gathered: load against displacement of the
// experiment's points, in the display units, positive in the test's loading
// direction (so a tension curve rises too). refresh() draws the points added
// since the last call; the owner calls it at the screen's pace, never per
// point. However long the test, at most kMaxDrawnPoints are drawn: when the
// curve fills up, every other point is dropped and only every second point
// of the rest is taken, so a redraw costs the same after a minute as after a
// second. Window thread.
class LiveCurve : public QChartView {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxDrawnPoints = 1000; // about three a pixel

    explicit LiveCurve(QWidget* parent = nullptr);

    // Empties the curve for a new run over `experiment` in `units`.
    void start(const Experiment& experiment, std::int32_t units);
    void refresh();
    qsizetype drawnPoints() const { return m_points.size(); }

private:
    void takePoint(std::int32_t index);
    void thinOut();
    void fitAxes();

    const Experiment* m_experiment = nullptr;
    std::int32_t m_units = 1;
    std::int32_t m_next = 1;   // the next point number to take
    std::int32_t m_stride = 1; // points advanced between two drawn points
    QList<QPointF> m_points;
    QPointF m_high{1.0, 1.0}; // the extent the axes show from zero
    QPointF m_low{0.0, 0.0};
    QLineSeries* m_series = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
};
