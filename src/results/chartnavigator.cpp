#include "chartnavigator.h"

#include "results/chartreadout.h"
#include "results/resultschart.h"

#include <QChart>
#include <QKeyEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {
// One notch of the wheel, or + once, shows this share of the span.
constexpr double kZoomStep = 0.8;
constexpr double kWheelNotch = 120.0;
// An arrow key moves the view by this share of the plot.
constexpr double kPanStep = 0.1;
// A smaller rectangle is a click, not a zoom.
constexpr int kSmallestBandPixels = 4;
// Spans this much smaller than the whole test's are beyond what single
// precision values can show apart.
constexpr double kSmallestSpan = 1e-6;
// About so many round figures along each axis while zoomed.
constexpr double kTicksWanted = 5.0;

// The round step (1, 2 or 5 times a power of ten) that cuts `span` into
// about kTicksWanted pieces.
double roundStep(double span) {
    const double raw = span / kTicksWanted;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= raw)
            return factor * power;
    return 10.0 * power;
}

void showRoundFigures(QValueAxis& axis, double span) {
    axis.setTickAnchor(0.0);
    axis.setTickInterval(roundStep(span));
    axis.setTickType(QValueAxis::TicksDynamic);
}

// The entry of the first point inside `range`, -1 when none is. Blocks of
// points whose box lies outside it are passed over whole.
qsizetype firstShown(const ResultsChart& chart, const QRectF& range) {
    const QList<QPointF>& points = chart.allPoints();
    const std::vector<CurveBlocks::Block>& blocks = chart.pointBlocks().blocks();
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const CurveBlocks::Block& block = blocks[b];
        if (block.whole && (block.right < range.left() || block.left > range.right() ||
                            block.high < range.top() || block.low > range.bottom()))
            continue;
        const auto first = static_cast<qsizetype>(b * CurveBlocks::kSize);
        const qsizetype last = std::min(first + qsizetype{CurveBlocks::kSize}, points.size());
        for (qsizetype i = first; i < last; ++i)
            if (range.contains(points[i]))
                return i;
    }
    return -1;
}

QString figure(double value) {
    return QString::number(value, 'g', 4);
}
} // namespace

ChartNavigator::ChartNavigator(ResultsChart& chart,
                               QLineSeries& series,
                               QValueAxis& x,
                               QValueAxis& y)
    : QObject(&chart), m_chart(chart), m_viewport(*chart.viewport()), m_series(series), m_x(x),
      m_y(y) {
    m_readout = new ChartReadout(chart, series);
    m_band = new QRubberBand(QRubberBand::Rectangle, chart.viewport());
    chart.setFocusPolicy(Qt::StrongFocus);
    chart.setMouseTracking(true);
    chart.viewport()->setMouseTracking(true);
    chart.installEventFilter(this);
    chart.viewport()->installEventFilter(this);
    connect(&x, &QValueAxis::rangeChanged, m_readout, &ChartReadout::place);
    connect(&y, &QValueAxis::rangeChanged, m_readout, &ChartReadout::place);
    connect(chart.chart(), &QChart::plotAreaChanged, m_readout, &ChartReadout::place);
}

// The ticks change before the ranges do: the axes lay their labels out
// when their ranges change, not when their ticks do.
void ChartNavigator::showingWholeTest() {
    m_x.setTickType(QValueAxis::TicksFixed);
    m_y.setTickType(QValueAxis::TicksFixed);
}

void ChartNavigator::wholeTestShown() {
    m_whole = shown();
    m_zoomed = false;
    emit changed();
}

void ChartNavigator::zoomOut() {
    if (!m_zoomed)
        return;
    showingWholeTest();
    m_chart.showRange(m_whole);
    wholeTestShown();
}

void ChartNavigator::markPoint(qint64 number) {
    const qsizetype index = m_chart.indexOfPoint(number);
    if (index >= 0) {
        markIndex(index);
        return;
    }
    m_markedIndex = -1;
    m_readout->clear();
    emit changed();
}

QString ChartNavigator::description() const {
    QStringList parts;
    const QRectF range = shown();
    if (m_zoomed)
        parts << tr("zoomed to %1 from %2 to %3 and %4 from %5 to %6")
                     .arg(m_x.titleText(), figure(range.left()), figure(range.right()),
                          m_y.titleText(), figure(range.top()), figure(range.bottom()));
    if (m_readout->number() > 0)
        parts << tr("marked %1").arg(m_readout->text());
    return parts.join(QStringLiteral(", "));
}

// Mouse events arrive at the viewport, keys at the view. Nothing here
// throws. The viewport is compared by the address kept at the start: events
// also arrive while the view is being destroyed, when it can no longer be
// asked for its viewport.
bool ChartNavigator::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_viewport) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return handleMouse(static_cast<QMouseEvent&>(*event));
        case QEvent::Wheel:
            handleWheel(static_cast<QWheelEvent&>(*event));
            return true;
        default:
            return false;
        }
    }
    if (watched == &m_chart && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<QKeyEvent&>(*event));
    return false;
}

bool ChartNavigator::handleMouse(QMouseEvent& event) {
    const QPoint at = event.position().toPoint();
    switch (event.type()) {
    case QEvent::MouseButtonPress:
        m_pressed = m_last = at;
        if (event.button() == Qt::MiddleButton ||
            (event.button() == Qt::LeftButton && event.modifiers().testFlag(Qt::ShiftModifier))) {
            m_drag = Drag::Pan;
        } else if (event.button() == Qt::LeftButton) {
            m_drag = Drag::Band;
            m_band->setGeometry(QRect(at, QSize()));
            m_band->show();
        }
        return true;
    case QEvent::MouseMove:
        if (m_drag == Drag::Band)
            m_band->setGeometry(QRect(m_pressed, at).normalized());
        else if (m_drag == Drag::Pan)
            panByPixels(at - m_last);
        else
            markNearest(at);
        m_last = at;
        return true;
    case QEvent::MouseButtonRelease: {
        // A rectangle reaching over the axes zooms to its part on the plot.
        const QChart& chart = *m_chart.chart();
        const QRect plot = m_chart.mapFromScene(chart.mapToScene(chart.plotArea())).boundingRect();
        const QRect band = QRect(m_pressed, at).normalized() & plot;
        const Drag drag = std::exchange(m_drag, Drag::None);
        m_band->hide();
        if (drag == Drag::Band && band.width() >= kSmallestBandPixels &&
            band.height() >= kSmallestBandPixels) {
            const QPointF a = valueAt(band.topLeft());
            const QPointF b = valueAt(band.bottomRight());
            show(QRectF(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                        QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y()))));
        }
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (event.button() == Qt::LeftButton)
            zoomOut();
        return true;
    default:
        return false;
    }
}

bool ChartNavigator::handleKey(const QKeyEvent& event) {
    const QRectF plot = m_chart.chart()->plotArea();
    const bool shift = event.modifiers().testFlag(Qt::ShiftModifier);
    switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAbout(shown().center(), kZoomStep);
        return true;
    case Qt::Key_Minus:
        zoomAbout(shown().center(), 1.0 / kZoomStep);
        return true;
    case Qt::Key_Left:
        shift ? step(-1) : panByPixels(QPointF(plot.width() * kPanStep, 0.0));
        return true;
    case Qt::Key_Right:
        shift ? step(1) : panByPixels(QPointF(-plot.width() * kPanStep, 0.0));
        return true;
    case Qt::Key_Up:
        panByPixels(QPointF(0.0, plot.height() * kPanStep));
        return true;
    case Qt::Key_Down:
        panByPixels(QPointF(0.0, -plot.height() * kPanStep));
        return true;
    default:
        return false;
    }
}

// Forward turns zoom in.
void ChartNavigator::handleWheel(const QWheelEvent& event) {
    const double notches = event.angleDelta().y() / kWheelNotch;
    if (notches != 0.0)
        zoomAbout(valueAt(event.position()), std::pow(kZoomStep, notches));
}

QPointF ChartNavigator::valueAt(QPointF viewportPosition) const {
    QChart& chart = *m_chart.chart();
    return chart.mapToValue(chart.mapFromScene(m_chart.mapToScene(viewportPosition.toPoint())),
                            &m_series);
}

// The axes' ranges as a rectangle of values, the lowest values at its top
// left.
QRectF ChartNavigator::shown() const {
    return QRectF(QPointF(m_x.min(), m_y.min()), QPointF(m_x.max(), m_y.max()));
}

// A range that takes in the whole test shows the whole test.
void ChartNavigator::show(QRectF range) {
    if (range.width() <= m_whole.width() * kSmallestSpan ||
        range.height() <= m_whole.height() * kSmallestSpan)
        return;
    if (range.contains(m_whole)) {
        zoomOut();
        return;
    }
    m_zoomed = true;
    showRoundFigures(m_x, range.width());
    showRoundFigures(m_y, range.height());
    m_chart.showRange(range);
    emit changed();
    const qsizetype first = firstShown(m_chart, range);
    emit rangeShown(first < 0 ? 0 : m_chart.pointNumber(first));
}

void ChartNavigator::zoomAbout(QPointF centre, double factor) {
    const QRectF range = shown();
    show(QRectF(QPointF(centre.x() - (centre.x() - range.left()) * factor,
                        centre.y() - (centre.y() - range.top()) * factor),
                QSizeF(range.width() * factor, range.height() * factor)));
}

// The view follows the pointer: dragging right shows lower values, dragging
// down higher ones.
void ChartNavigator::panByPixels(QPointF pixels) {
    const QRectF plot = m_chart.chart()->plotArea();
    if (plot.isEmpty())
        return;
    const QRectF range = shown();
    show(range.translated(-pixels.x() * range.width() / plot.width(),
                          pixels.y() * range.height() / plot.height()));
}

// The nearest by distance on the screen among the points shown.
void ChartNavigator::markNearest(QPointF viewportPosition) {
    QChart& chart = *m_chart.chart();
    const QPointF inChart = chart.mapFromScene(m_chart.mapToScene(viewportPosition.toPoint()));
    const QRectF plot = chart.plotArea();
    if (!plot.contains(inChart))
        return;
    const QRectF range = shown();
    const QPointF target = chart.mapToValue(inChart, &m_series);
    const double scaleX = plot.width() / range.width();
    const double scaleY = plot.height() / range.height();
    const QList<QPointF>& points = m_chart.allPoints();
    const std::vector<CurveBlocks::Block>& blocks = m_chart.pointBlocks().blocks();
    // The distance on the screen from the target to the nearest place a
    // block's box allows; a block no nearer than the nearest point yet is
    // passed over, as is one outside the range.
    const auto gap = [&](double low, double high, double at, double scale) {
        return (at < low ? low - at : at > high ? at - high : 0.0) * scale;
    };
    qsizetype nearest = -1;
    double nearestSquare = std::numeric_limits<double>::max();
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const CurveBlocks::Block& block = blocks[b];
        if (block.whole) {
            const double dx = gap(block.left, block.right, target.x(), scaleX);
            const double dy = gap(block.low, block.high, target.y(), scaleY);
            if (dx * dx + dy * dy >= nearestSquare || block.right < range.left() ||
                block.left > range.right() || block.high < range.top() ||
                block.low > range.bottom())
                continue;
        }
        const auto first = static_cast<qsizetype>(b * CurveBlocks::kSize);
        const qsizetype last = std::min(first + qsizetype{CurveBlocks::kSize}, points.size());
        for (qsizetype i = first; i < last; ++i) {
            const QPointF& point = points[i];
            if (!range.contains(point))
                continue;
            const double dx = (point.x() - target.x()) * scaleX;
            const double dy = (point.y() - target.y()) * scaleY;
            if (dx * dx + dy * dy < nearestSquare) {
                nearestSquare = dx * dx + dy * dy;
                nearest = i;
            }
        }
    }
    if (nearest >= 0 && nearest != m_markedIndex)
        markIndex(nearest);
}

void ChartNavigator::markIndex(qsizetype index) {
    m_markedIndex = index;
    m_readout->mark(m_chart.pointNumber(index), m_chart.allPoints().at(index), m_x.titleText(),
                    m_y.titleText());
    emit changed();
}

// One point at a time while zoomed in, about a pixel column's worth on the
// whole test. While zoomed, the view follows a point that leaves it.
void ChartNavigator::step(int direction) {
    const QList<QPointF>& points = m_chart.allPoints();
    if (points.isEmpty())
        return;
    const double columns = std::max(1.0, m_chart.chart()->plotArea().width());
    const qsizetype stride =
        m_zoomed ? 1 : std::max<qsizetype>(1, std::llround(points.size() / columns));
    const QRectF range = shown();
    qsizetype index =
        std::clamp<qsizetype>(m_markedIndex + direction * stride, 0, points.size() - 1);
    // With nothing marked the cursor starts at the first point shown.
    if (m_markedIndex < 0)
        index = std::max<qsizetype>(0, firstShown(m_chart, range));
    markIndex(index);
    const QPointF point = points[index];
    if (m_zoomed && !range.contains(point)) {
        const double dx = point.x() < range.left() || point.x() > range.right()
                              ? point.x() - range.center().x()
                              : 0.0;
        const double dy = point.y() < range.top() || point.y() > range.bottom()
                              ? point.y() - range.center().y()
                              : 0.0;
        show(range.translated(dx, dy));
    }
}
