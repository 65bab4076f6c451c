#pragma once

#include "model/envelope.h"

#include <QChartView>
#include <QList>
#include <QPointF>
#include <cstdint>
#include <optional>

class Experiment;
class QLineSeries;
class QValueAxis;

// The curve of a test as it is gathered: load against displacement of the
// experiment's points, in the display units, positive in the test's loading
// direction (so a tension curve rises too). refresh() draws the points added
// since the last call; the owner calls it at the screen's pace, never per
// point. The line drawn is the envelope of every point gathered so far over
// the plot's pixel columns (see Envelope): each new point changes only its
// own column, a drop between two refreshes is always drawn, and a redraw
// costs the same after an hour as after a second. When the axes grow or the
// plot changes size the envelope is taken again over every point. Window
// thread.
class LiveCurve : public QChartView {
    Q_OBJECT
public:
    explicit LiveCurve(QWidget* parent = nullptr);

    // Empties the curve for a new run over `experiment` in `units`.
    void start(const Experiment& experiment, std::int32_t units);
    void refresh();
    qsizetype drawnPoints() const { return m_drawn; }

private:
    void takePoint(std::int32_t index);
    bool fitAxes();
    void rebuild();
    void draw();

    const Experiment* m_experiment = nullptr;
    std::int32_t m_units = 1;
    std::int32_t m_next = 1;  // the next point number to take
    std::int32_t m_taken = 0; // the points taken into the envelope, 1 to m_taken
    std::optional<Envelope> m_envelope;
    QRectF m_plot; // the plot area the envelope's columns were laid on
    qsizetype m_drawn = 0;
    QPointF m_high{1.0, 1.0}; // the extent the axes show from zero
    QPointF m_low{0.0, 0.0};
    QLineSeries* m_series = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
};
