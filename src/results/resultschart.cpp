#include "resultschart.h"

#include "platform/linechart.h"
#include "results/chartnavigator.h"

#include <QAccessible>
#include <QChart>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <limits>
#include <utility>

namespace {
struct Range {
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    void take(double value) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    void take(const Range& other) {
        take(other.low);
        take(other.high);
    }
};

// A single value still gets a visible span; no data shows 0 to 1.
void apply(QValueAxis& axis, const Range& range) {
    if (range.low > range.high)
        axis.setRange(0.0, 1.0);
    else if (range.low == range.high)
        axis.setRange(range.low - 1.0, range.high + 1.0);
    else
        axis.setRange(range.low, range.high);
}
} // namespace

ResultsChart::ResultsChart(QWidget* parent) : QChartView(parent) {
    const LineChart line = MakeLineChart(*this);
    m_series = line.series;
    m_axisX = line.axisX;
    m_axisY = line.axisY;
    setObjectName(QStringLiteral("chart"));
    setAccessibleName(tr("Chart"));
    setRenderHint(QPainter::Antialiasing);
    m_navigator = new ChartNavigator(*this, *m_series, *m_axisX, *m_axisY);
    connect(m_navigator, &ChartNavigator::changed, this, &ResultsChart::describe);
    scaleAxes({});
    describe();
}

void ResultsChart::setAxisTitles(const QString& x, const QString& y) {
    m_axisX->setTitleText(x);
    m_axisY->setTitleText(y);
    describe();
}

void ResultsChart::setPoints(const QList<QPointF>& points, QList<qint32> numbers) {
    m_navigator->markPoint(0);
    m_numbers = std::move(numbers);
    scaleAxes(points);
    m_series->replace(points);
    describe();
}

void ResultsChart::setIndependentAxes(bool independent) {
    m_independentAxes = independent;
    scaleAxes(m_series->points());
}

qsizetype ResultsChart::pointCount() const {
    return m_series->count();
}

QList<QPointF> ResultsChart::allPoints() const {
    return m_series->points();
}

qint64 ResultsChart::pointNumber(qsizetype index) const {
    return m_numbers.isEmpty() ? index + 1 : m_numbers.at(index);
}

qsizetype ResultsChart::indexOfPoint(qint64 number) const {
    if (m_numbers.isEmpty())
        return number >= 1 && number <= pointCount() ? number - 1 : -1;
    const auto at = std::lower_bound(m_numbers.cbegin(), m_numbers.cend(), number);
    return at != m_numbers.cend() && *at == number ? at - m_numbers.cbegin() : -1;
}

void ResultsChart::scaleAxes(const QList<QPointF>& points) {
    Range x;
    Range y;
    for (const QPointF& point : points) {
        x.take(point.x());
        y.take(point.y());
    }
    if (!m_independentAxes && !points.isEmpty()) {
        x.take(y);
        y = x;
    }
    apply(*m_axisX, x);
    apply(*m_axisY, y);
    m_navigator->wholeTestShown();
}

void ResultsChart::describe() {
    const qsizetype count = pointCount();
    const QString points = count == 1 ? tr("1 point") : tr("%1 points").arg(count);
    const QString x = m_axisX->titleText();
    const QString y = m_axisY->titleText();
    QString description =
        x.isEmpty() && y.isEmpty() ? points : tr("%1 against %2, %3").arg(y, x, points);
    const QString navigation = m_navigator->description();
    if (!navigation.isEmpty())
        description += QStringLiteral(", ") + navigation;
    setAccessibleDescription(description);
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
