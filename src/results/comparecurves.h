#pragma once

#include "model/envelope.h"
#include "model/pointconverter.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class Experiment;
class QChartView;
class QLineSeries;
class QValueAxis;

// The load against displacement curves of the Compare Tests window, one
// series each on the chart's two axes. A curve keeps no converted points:
// its test's raw readings are converted when the curve is drawn (see
// PointConverter), and only a brief of its points in blocks is kept (see
// CurveBlocks), so two tests of twenty million points take little more
// than their readings. Each series holds a RasterCurve of its test over the
// plot's pixels, which follows the plot's size and the axes' ranges.
// Window thread.
class CompareCurves : public QObject {
    Q_OBJECT
public:
    CompareCurves(QChartView& view, QValueAxis& x, QValueAxis& y, std::int32_t units);
    ~CompareCurves() override;

    // Adds the curve of `experiment`, named `name` in the legend, drawn
    // when the axes are next fitted. The experiment must outlive the curve
    // and keep its points.
    void add(const Experiment& experiment, const QString& name);
    // Removes curve `index` (from 0) and its series.
    void remove(int index);
    // Scales both axes to the extremes of every curve, 0 to 1 without any.
    void fitAxes();
    // Draws every curve as stress against strain, each by its own
    // specimen's dimensions (every test must have them), or as load against
    // displacement; fit the axes afterwards.
    void setStressStrain(bool stressStrain);

private:
    struct Curve;
    void redraw();
    void draw(Curve& curve);
    void scale(Curve& curve) const;

    QChartView& m_view;
    QValueAxis& m_x;
    QValueAxis& m_y;
    std::int32_t m_units;
    bool m_holdRedraw = false;
    bool m_stressStrain = false;
    std::vector<std::unique_ptr<Curve>> m_curves;
};
