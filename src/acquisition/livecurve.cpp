#include "livecurve.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/linechart.h"
#include "platform/readabletext.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>
#include <exception>

namespace {
constexpr double kStartInches = 0.01;
constexpr double kStartLbf = 10.0;
constexpr double kStartMm = 0.25;
constexpr double kStartNewtons = 50.0;
// An axis that has to grow grows by a quarter more than needed, so it does
// not rescale on every refresh of a rising curve.
constexpr double kAxisHeadroom = 1.25;

QString pointsText(std::int32_t count) {
    return count == 1 ? QStringLiteral("1 point") : QStringLiteral("%1 points").arg(count);
}
} // namespace

LiveCurve::LiveCurve(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("liveCurve"));
    setAccessibleName(tr("Load against displacement"));
    const LineChart line = MakeLineChart(*this);
    m_series = line.series;
    m_axisX = line.axisX;
    m_axisY = line.axisY;
    connect(chart(), &QChart::plotAreaChanged, this, [this](const QRectF& plot) {
        if (m_experiment && plot != m_plot) {
            rebuild();
            draw();
        }
    });
}

void LiveCurve::start(const Experiment& experiment, std::int32_t units) {
    m_experiment = &experiment;
    m_units = units;
    m_next = 1;
    m_taken = 0;
    const bool english = units == kUnitsEnglish;
    // A small start that the curve outgrows, so its first points fill the plot.
    m_low = QPointF(0.0, 0.0);
    m_high = english ? QPointF(kStartInches, kStartLbf) : QPointF(kStartMm, kStartNewtons);
    m_axisX->setTitleText(english ? tr("Displacement (in)") : tr("Displacement (mm)"));
    m_axisY->setTitleText(english ? tr("Load (lbf)") : tr("Load (N)"));
    m_axisX->setRange(m_low.x(), m_high.x());
    m_axisY->setRange(m_low.y(), m_high.y());
    rebuild();
    draw();
    SetReadableDescription(*this, pointsText(0));
}

void LiveCurve::refresh() {
    if (!m_experiment || m_experiment->Count() < m_next)
        return;
    try {
        for (; m_next <= m_experiment->Count(); ++m_next)
            takePoint(m_next);
    } catch (const std::exception&) {
        // A point the conversions cannot take (an offset far outside the raw
        // range) ends the drawing; the gathering goes on.
        m_next = INT32_MAX;
    }
    if (fitAxes())
        rebuild();
    draw();
    SetReadableDescription(*this, pointsText(m_experiment->Count()));
}

void LiveCurve::takePoint(std::int32_t index) {
    const QPointF point(m_experiment->Displacement(index, m_units),
                        m_experiment->load(index, m_units));
    m_envelope->add(static_cast<std::size_t>(index), point.x(), point.y());
    m_taken = index;
    if (point.x() > m_high.x())
        m_high.setX(point.x() * kAxisHeadroom);
    if (point.y() > m_high.y())
        m_high.setY(point.y() * kAxisHeadroom);
    if (point.x() < m_low.x())
        m_low.setX(point.x() * kAxisHeadroom);
    if (point.y() < m_low.y())
        m_low.setY(point.y() * kAxisHeadroom);
}

// The envelope anew over the axis's range and the plot's device pixels, with
// every point taken so far; these converted once already, so they convert
// again.
void LiveCurve::rebuild() {
    m_plot = chart()->plotArea();
    m_envelope.emplace(PlotRaster(*this, *m_axisX, *m_axisY).envelope());
    try {
        for (std::int32_t index = 1; index <= m_taken; ++index)
            m_envelope->add(static_cast<std::size_t>(index),
                            m_experiment->Displacement(index, m_units),
                            m_experiment->load(index, m_units));
    } catch (const std::exception&) {
    }
}

void LiveCurve::draw() {
    const QList<QPointF> line = PlotRaster(*this, *m_axisX, *m_axisY).line(*m_envelope);
    m_drawn = line.size();
    m_series->replace(line);
}

// Round figures on the axes; they change only when the curve outgrows them.
// True when they changed.
bool LiveCurve::fitAxes() {
    bool changed = false;
    if (m_axisX->min() > m_low.x() || m_axisX->max() < m_high.x()) {
        m_axisX->setRange(m_low.x(), m_high.x());
        m_axisX->applyNiceNumbers();
        changed = true;
    }
    if (m_axisY->min() > m_low.y() || m_axisY->max() < m_high.y()) {
        m_axisY->setRange(m_low.y(), m_high.y());
        m_axisY->applyNiceNumbers();
    }
    return changed;
}
