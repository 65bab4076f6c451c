#include "resultschart.h"

#include "platform/linechart.h"
#include "results/chartnavigator.h"
#include "results/resultmarks.h"
#include "results/roundaxis.h"

#include <QAccessible>
#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QResizeEvent>
#include <QScatterSeries>
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

void apply(QValueAxis& axis, const Range& range) {
    const AxisRange whole = WholeTestRange(range.low, range.high);
    axis.setRange(whole.low, whole.high);
}
} // namespace

ResultsChart::ResultsChart(QWidget* parent) : EnvelopeChart(parent) {
    // The chart takes both axes as its own.
    auto* axisX = new QCategoryAxis;
    auto* axisY = new QCategoryAxis;
    const LineChart line = MakeLineChart(*this, axisX, axisY);
    for (QCategoryAxis* axis : {axisX, axisY})
        if (!axis->parent())
            axis->setParent(chart());
    new RoundAxisLabels(*axisX);
    new RoundAxisLabels(*axisY);
    m_series = line.series;
    m_axisX = line.axisX;
    m_axisY = line.axisY;
    setObjectName(QStringLiteral("chart"));
    setAccessibleName(tr("Chart"));
    // No antialiasing: it blends each of the thousands of segments inside a
    // pixel column over the others, a shade no envelope could give; drawn
    // without it the envelope lights exactly the pixels every point lights.
    setRenderHint(QPainter::Antialiasing, false);
    // The envelope's columns follow the horizontal axis, the pixel centres
    // its points are placed at both axes.
    for (QValueAxis* axis : {m_axisX, m_axisY})
        connect(axis, &QValueAxis::rangeChanged, this, [this] {
            if (!m_holdRedraw)
                redraw();
        });
    connect(chart(), &QChart::plotAreaChanged, this, [this] { redraw(); });
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
    m_points = points;
    const QPointF* at = m_points.constData();
    m_blocks = CurveBlocks(
        static_cast<std::size_t>(m_points.size()), [at](std::size_t i) { return at[i].x(); },
        [at](std::size_t i) { return at[i].y(); });
    m_drawnFor.clear();
    scaleAxes(points);
    describe();
}

void ResultsChart::showWholeTestOf(const ResultsChart& shown) {
    resize(shown.size());
    m_axisX->setTitleText(shown.m_axisX->titleText());
    m_axisY->setTitleText(shown.m_axisY->titleText());
    m_independentAxes = shown.m_independentAxes;
    setPoints(shown.m_points, shown.m_numbers);
    // A hidden view takes its new size and lays its chart out when it is
    // drawn; drawn once here, it is laid out for the pictures that follow.
    grab();
}

QList<QPointF> ResultsChart::takePoints() {
    m_blocks = {};
    m_drawnFor.clear();
    return std::exchange(m_points, {});
}

void ResultsChart::setIndependentAxes(bool independent) {
    m_independentAxes = independent;
    scaleAxes(m_points);
}

qsizetype ResultsChart::pointCount() const {
    return m_points.size();
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
    // The blocks of the points hold their extremes.
    Range x;
    Range y;
    if (!points.isEmpty()) {
        x.take(Range{m_blocks.left(), m_blocks.right()});
        y.take(Range{m_blocks.low(), m_blocks.high()});
    }
    if (!m_independentAxes && !points.isEmpty()) {
        x.take(y);
        y = x;
    }
    // Both axes first, then the line once.
    m_navigator->showingWholeTest();
    m_holdRedraw = true;
    apply(*m_axisX, x);
    apply(*m_axisY, y);
    m_holdRedraw = false;
    redraw();
    m_navigator->wholeTestShown();
}

void ResultsChart::showRange(const QRectF& range) {
    m_holdRedraw = true;
    m_axisX->setRange(range.left(), range.right());
    m_axisY->setRange(range.top(), range.bottom());
    m_holdRedraw = false;
    redraw();
}

void ResultsChart::setColumnsPerPixel(double columns) {
    m_columnsPerPixel = columns;
    redraw();
}

void ResultsChart::holdDrawing(bool hold) {
    m_drawingHeld = hold;
    if (!hold && std::exchange(m_drawPending, false))
        redraw();
}

void ResultsChart::redraw() {
    if (m_drawingHeld) {
        m_drawPending = true;
        return;
    }
    const QRectF plot = chart()->plotArea();
    const QList<double> drawnFor{plot.x(),
                                 plot.y(),
                                 plot.width(),
                                 plot.height(),
                                 m_axisX->min(),
                                 m_axisX->max(),
                                 m_axisY->min(),
                                 m_axisY->max(),
                                 m_columnsPerPixel,
                                 devicePixelRatioF(),
                                 static_cast<double>(width())};
    if (drawnFor == m_drawnFor)
        return;
    m_drawnFor = drawnFor;
    const PlotRaster raster(*this, *m_axisX, *m_axisY, m_columnsPerPixel);
    RasterCurve curve(raster.grid());
    const QPointF* points = m_points.constData();
    curve.addCurve(
        static_cast<std::size_t>(m_points.size()), m_blocks,
        [points](std::size_t i) { return points[i].x(); },
        [points](std::size_t i) { return points[i].y(); });
    m_series->replace(raster.line(curve));
}

void ResultsChart::setMarks(const ChartMarks& marks) {
    if (!m_markLine) {
        m_markLine = new QLineSeries(chart());
        m_markPoints = new QScatterSeries(chart());
        m_markLine->setObjectName(QStringLiteral("seriesModulusLine"));
        m_markPoints->setObjectName(QStringLiteral("seriesResultPoints"));
        QPen dashed = m_markLine->pen();
        dashed.setStyle(Qt::DashLine);
        m_markLine->setPen(dashed);
        m_markPoints->setMarkerSize(9.0);
        for (QXYSeries* series :
             {static_cast<QXYSeries*>(m_markLine), static_cast<QXYSeries*>(m_markPoints)}) {
            chart()->addSeries(series);
            series->attachAxis(m_axisX);
            series->attachAxis(m_axisY);
        }
    }
    m_markLine->replace(marks.modulusLine);
    m_markPoints->replace(marks.points);
    m_marksText = marks.description;
    describe();
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
    if (!m_marksText.isEmpty())
        description += tr(", marked: ") + m_marksText;
    setAccessibleDescription(description);
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
