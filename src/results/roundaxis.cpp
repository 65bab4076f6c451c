#include "roundaxis.h"

#include <QCategoryAxis>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kPiecesWanted = 5.0;
// A tick this close to a range's end, in steps, still lies on it.
constexpr double kOnEndSteps = 1e-9;
// More figures than this are none that can be read (and a range far beyond
// its own width from zero has no round steps a double can count).
constexpr double kMostFigures = 50.0;
} // namespace

double RoundStep(double span) {
    if (!(span > 0.0) || !std::isfinite(span))
        return 1.0;
    const double raw = span / kPiecesWanted;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= raw)
            return factor * power;
    return 10.0 * power;
}

AxisRange WholeTestRange(double low, double high) {
    if (!(low <= high) || !std::isfinite(low) || !std::isfinite(high))
        return {};
    const bool fromZero = low >= 0.0;
    if (low == high) {
        low -= 1.0;
        high += 1.0;
    }
    return {fromZero ? 0.0 : low, high};
}

QString TickText(double value, double step) {
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
    const double steps = std::round(value / step);
    // A tick at zero is written from the number zero itself.
    if (steps == 0.0)
        return QString::number(0.0, 'f', decimals);
    return QString::number(steps * step, 'f', decimals);
}

RoundAxisLabels::RoundAxisLabels(QCategoryAxis& axis) : QObject(&axis), m_axis(axis) {
    axis.setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    connect(&axis, &QCategoryAxis::rangeChanged, this, &RoundAxisLabels::relabel);
    relabel();
}

// Each category ends at a round value and carries its figure there; the
// first starts one step below the range, so no figure stands at its start.
void RoundAxisLabels::relabel() {
    const double low = m_axis.min();
    const double high = m_axis.max();
    if (low == m_low && high == m_high && m_axis.count() > 0)
        return;
    m_low = low;
    m_high = high;
    const QStringList old = m_axis.categoriesLabels();
    for (const QString& label : old)
        m_axis.remove(label);
    if (!(high > low))
        return;
    const double step = RoundStep(high - low);
    const double first = std::ceil(low / step - kOnEndSteps);
    const double last = std::floor(high / step + kOnEndSteps);
    if (!(last - first < kMostFigures) || first - 1.0 == first)
        return;
    m_axis.setStartValue((first - 1.0) * step);
    for (int i = 0; first + i <= last; ++i) {
        const double value = (first + i) * step;
        m_axis.append(TickText(value, step), value);
    }
}
