#include "comparecurves.h"

#include "model/experiment.h"
#include "model/specimen.h"
#include "platform/linechart.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

// A curve: its series, its test's converter and its points in brief.
struct CompareCurves::Curve {
    const Experiment& experiment;
    PointConverter converter;
    CurveBlocks blocks;
    QLineSeries* series = nullptr;
    // The point last converted (from 0), asked for once for each axis.
    mutable std::size_t at = std::numeric_limits<std::size_t>::max();
    mutable float x = 0.0f;
    mutable float y = 0.0f;
    // Strain per displacement and stress per load: 1 for load against
    // displacement.
    double xScale = 1.0;
    double yScale = 1.0;

    Curve(const Experiment& test, std::int32_t units) : experiment(test), converter(test, units) {}
    std::size_t count() const { return static_cast<std::size_t>(experiment.Count()); }
    // A point that does not convert is not a number on both axes, which
    // the drawing leaves out.
    void convert(std::size_t index) const {
        if (index == at)
            return;
        at = index;
        if (!converter.convert(static_cast<std::int32_t>(index + 1), x, y))
            x = y = std::numeric_limits<float>::quiet_NaN();
    }
    double xOf(std::size_t index) const {
        convert(index);
        return x * xScale;
    }
    double yOf(std::size_t index) const {
        convert(index);
        return y * yScale;
    }
};

CompareCurves::CompareCurves(QChartView& view, QValueAxis& x, QValueAxis& y, std::int32_t units)
    : QObject(&view), m_view(view), m_x(x), m_y(y), m_units(units) {
    for (QValueAxis* axis : {&x, &y})
        connect(axis, &QValueAxis::rangeChanged, this, [this] {
            if (!m_holdRedraw)
                redraw();
        });
    connect(view.chart(), &QChart::plotAreaChanged, this, &CompareCurves::redraw);
}

CompareCurves::~CompareCurves() = default;

void CompareCurves::add(const Experiment& experiment, const QString& name) {
    auto curve = std::make_unique<Curve>(experiment, m_units);
    scale(*curve);
    curve->series = new QLineSeries(m_view.chart());
    curve->series->setName(name);
    m_view.chart()->addSeries(curve->series);
    curve->series->attachAxis(&m_x);
    curve->series->attachAxis(&m_y);
    // Drawn once the axes are fitted to it.
    m_curves.push_back(std::move(curve));
}

void CompareCurves::remove(int index) {
    if (index < 0 || index >= static_cast<int>(m_curves.size()))
        return;
    QLineSeries* series = m_curves[static_cast<std::size_t>(index)]->series;
    m_view.chart()->removeSeries(series);
    delete series;
    m_curves.erase(m_curves.begin() + index);
}

void CompareCurves::setStressStrain(bool stressStrain) {
    if (stressStrain == m_stressStrain)
        return;
    m_stressStrain = stressStrain;
    for (const auto& curve : m_curves)
        scale(*curve);
}

// The curve's scales for the view, and its points in brief at that scale.
void CompareCurves::scale(Curve& curve) const {
    const SpecimenRecord& specimen = curve.experiment.specimen();
    curve.xScale = m_stressStrain ? 1.0 / StrainLength(specimen, m_units) : 1.0;
    curve.yScale = m_stressStrain ? 1.0 / SpecimenArea(specimen, m_units) : 1.0;
    const Curve& made = curve;
    curve.blocks = CurveBlocks(
        made.count(), [&made](std::size_t i) { return made.xOf(i); },
        [&made](std::size_t i) { return made.yOf(i); });
}

void CompareCurves::fitAxes() {
    double minX = std::numeric_limits<double>::max(), maxX = -minX;
    double minY = minX, maxY = -minX;
    for (const auto& curve : m_curves) {
        minX = std::min(minX, curve->blocks.left());
        maxX = std::max(maxX, curve->blocks.right());
        minY = std::min(minY, curve->blocks.low());
        maxY = std::max(maxY, curve->blocks.high());
    }
    if (minX > maxX || minY > maxY) {
        minX = minY = 0.0;
        maxX = maxY = 1.0;
    }
    m_holdRedraw = true;
    m_x.setRange(minX, maxX > minX ? maxX : minX + 1.0);
    m_y.setRange(minY, maxY > minY ? maxY : minY + 1.0);
    m_holdRedraw = false;
    redraw();
}

void CompareCurves::redraw() {
    for (const auto& curve : m_curves)
        draw(*curve);
}

void CompareCurves::draw(Curve& curve) {
    const PlotRaster raster(m_view, m_x, m_y);
    RasterCurve line(raster.grid());
    const Curve& points = curve;
    line.addCurve(
        curve.count(), curve.blocks, [&points](std::size_t i) { return points.xOf(i); },
        [&points](std::size_t i) { return points.yOf(i); });
    curve.series->replace(raster.line(line));
}
