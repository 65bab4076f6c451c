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
}

void LiveCurve::start(const Experiment& experiment, std::int32_t units) {
    m_experiment = &experiment;
    m_units = units;
    m_next = 1;
    m_stride = 1;
    m_points.clear();
    const bool english = units == kUnitsEnglish;
    // A small start that the curve outgrows, so its first points fill the plot.
    m_low = QPointF(0.0, 0.0);
    m_high = english ? QPointF(kStartInches, kStartLbf) : QPointF(kStartMm, kStartNewtons);
    m_axisX->setTitleText(english ? tr("Displacement (in)") : tr("Displacement (mm)"));
    m_axisY->setTitleText(english ? tr("Load (lbf)") : tr("Load (N)"));
    m_series->clear();
    m_axisX->setRange(m_low.x(), m_high.x());
    m_axisY->setRange(m_low.y(), m_high.y());
    SetReadableDescription(*this, pointsText(0));
}

void LiveCurve::refresh() {
    if (!m_experiment || m_experiment->Count() < m_next)
        return;
    try {
        for (; m_next <= m_experiment->Count(); m_next += m_stride) {
            takePoint(m_next);
            if (m_points.size() > kMaxDrawnPoints)
                thinOut();
        }
    } catch (const std::exception&) {
        // A point the conversions cannot take (an offset far outside the raw
        // range) ends the drawing; the gathering goes on.
        m_next = INT32_MAX;
    }
    m_series->replace(m_points);
    fitAxes();
    SetReadableDescription(*this, pointsText(m_experiment->Count()));
}

void LiveCurve::takePoint(std::int32_t index) {
    const QPointF point(m_experiment->Displacement(index, m_units),
                        m_experiment->load(index, m_units));
    m_points.append(point);
    if (point.x() > m_high.x())
        m_high.setX(point.x() * kAxisHeadroom);
    if (point.y() > m_high.y())
        m_high.setY(point.y() * kAxisHeadroom);
    if (point.x() < m_low.x())
        m_low.setX(point.x() * kAxisHeadroom);
    if (point.y() < m_low.y())
        m_low.setY(point.y() * kAxisHeadroom);
}

// Keeps points 1, 1 + 2s, 1 + 4s, ... of the stride s so far, and from now on
// takes every 2s-th point.
void LiveCurve::thinOut() {
    qsizetype kept = 0;
    for (qsizetype i = 0; i < m_points.size(); i += 2)
        m_points[kept++] = m_points[i];
    // The caller's loop steps on from the last point taken by the new
    // stride; when that point was dropped, it steps from the one before.
    if (m_points.size() % 2 == 0)
        m_next -= m_stride;
    m_points.resize(kept);
    m_stride *= 2;
}

// Round figures on the axes; they change only when the curve outgrows them.
void LiveCurve::fitAxes() {
    if (m_axisX->min() > m_low.x() || m_axisX->max() < m_high.x()) {
        m_axisX->setRange(m_low.x(), m_high.x());
        m_axisX->applyNiceNumbers();
    }
    if (m_axisY->min() > m_low.y() || m_axisY->max() < m_high.y()) {
        m_axisY->setRange(m_low.y(), m_high.y());
        m_axisY->applyNiceNumbers();
    }
}
