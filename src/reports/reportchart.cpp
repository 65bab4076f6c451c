#include "reportchart.h"

#include "model/envelope.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kChartHeightMm = 100.0;
constexpr double kCurveWidthMm = 0.25;
constexpr double kLegendStrokeMm = 8.0;
constexpr int kTicks = 6; // about this many steps along an axis

const QColor kCurveColours[] = {QColor(0, 0, 200),   QColor(200, 0, 0),   QColor(0, 140, 0),
                                QColor(220, 120, 0), QColor(130, 0, 160), QColor(0, 150, 160),
                                QColor(120, 80, 30), QColor(230, 0, 140), QColor(90, 90, 90),
                                QColor(150, 150, 0)};
constexpr int kColourCount = static_cast<int>(std::size(kCurveColours));

// A curve's pen: ten colours, then the same with dashes and dots.
QPen CurvePen(int index) {
    QPen pen(kCurveColours[index % kColourCount], ReportDots(kCurveWidthMm));
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
    pen.setStyle(styles[(index / kColourCount) % 3]);
    return pen;
}

// An axis from a round number below the values to one above, in round steps.
struct Axis {
    double low = 0.0;
    double high = 1.0;
    double step = 0.2;
    int decimals = 1;
};

Axis AxisOver(double low, double high) {
    if (!(low <= high)) {
        low = 0.0;
        high = 1.0;
    }
    if (high - low < std::abs(high) * 1e-9 || high == low) {
        low -= 1.0;
        high += 1.0;
    }
    const double raw = (high - low) / kTicks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / magnitude;
    const double step = magnitude * (fraction < 1.5   ? 1.0
                                     : fraction < 3.0 ? 2.0
                                     : fraction < 7.0 ? 5.0
                                                      : 10.0);
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step,
            std::max(0, -static_cast<int>(std::floor(std::log10(step))))};
}

// Each curve is drawn through a RasterCurve over cells of the plot as wide
// as the curve's pen, the finest detail the pen can show: its envelope, a
// few points a cell column, or for a curve that sweeps the plot again and
// again its pixel cover, a line through the cells it lights. Either way the
// line has at most a few points for each cell of the plot, whatever the
// number of points and the shape of the curve, so the page's size follows
// the page and not the test.
std::vector<QPolygonF> Polylines(const std::vector<ReportCurve>& curves,
                                 const QRectF& plot,
                                 const Axis& x,
                                 const Axis& y) {
    std::vector<QPolygonF> lines;
    const double xScale = plot.width() / (x.high - x.low);
    const double yScale = plot.height() / (y.high - y.low);
    const double cell = ReportDots(kCurveWidthMm);
    RasterGrid grid;
    grid.columns = std::max(1, static_cast<int>(std::ceil(plot.width() / cell)));
    grid.rows = std::max(1, static_cast<int>(std::ceil(plot.height() / cell)));
    grid.left = x.low;
    grid.top = y.high;
    grid.columnsPerUnit = xScale / cell;
    grid.rowsPerUnit = -yScale / cell;
    for (const ReportCurve& curve : curves) {
        RasterCurve raster(grid);
        if (curve.points)
            curve.points([&raster](double px, double py) { raster.add(px, py); });
        QPolygonF line;
        for (const Envelope::Point& point : raster.points())
            line << QPointF(plot.left() + (point.x - x.low) * xScale,
                            plot.bottom() - (point.y - y.low) * yScale);
        lines.push_back(std::move(line));
    }
    return lines;
}

QString TickText(const Axis& axis, double value) {
    // A step's multiple that rounds to minus zero reads as zero.
    const double rounded = std::abs(value) < axis.step / 2 ? 0.0 : value;
    return QString::number(rounded, 'f', axis.decimals);
}

// The grid, the frame and the tick labels, the vertical axis's right-aligned
// in `labelWidth` left of the plot.
void DrawAxes(
    QPainter& painter, const QRectF& plot, const Axis& x, const Axis& y, double labelWidth) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QPen grid(QColor(215, 215, 215), ReportDots(0.15)), frame(Qt::black, ReportDots(0.2));
    const double pad = ReportDots(kReportPaddingMm);
    const int xSteps = static_cast<int>(std::lround((x.high - x.low) / x.step));
    for (int i = 0; i <= xSteps; ++i) {
        const double at = plot.left() + i * plot.width() / xSteps;
        painter.setPen(grid);
        painter.drawLine(QPointF(at, plot.top()), QPointF(at, plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(at - labelWidth * 2, plot.bottom() + pad, labelWidth * 4, metrics.height()),
            Qt::AlignHCenter | Qt::AlignTop, TickText(x, x.low + i * x.step));
    }
    const int ySteps = static_cast<int>(std::lround((y.high - y.low) / y.step));
    for (int i = 0; i <= ySteps; ++i) {
        const double at = plot.bottom() - i * plot.height() / ySteps;
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.left() - pad - labelWidth, at - metrics.height() / 2,
                                labelWidth, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, TickText(y, y.low + i * y.step));
    }
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
}
// The curves' names under the chart, each after a stroke of its pen, in as
// many columns as the longest name allows.
ReportBlock
Legend(const std::vector<ReportCurve>& curves, const QRectF& area, QPaintDevice& device) {
    const QFont font = ReportFont(kReportSmallPoints);
    const QFontMetricsF metrics(font, &device);
    const double stroke = ReportDots(kLegendStrokeMm), gap = ReportDots(kReportPaddingMm * 2);
    QStringList names;
    double widest = 0.0;
    for (const ReportCurve& curve : curves) {
        names << curve.name;
        widest = std::max(widest, metrics.horizontalAdvance(curve.name));
    }
    const double cell = std::min(area.width(), stroke + widest + gap * 3);
    const double text = cell - stroke - gap * 2;
    const int columns = std::max(1, static_cast<int>(area.width() / cell));
    const auto draw = [=](QPainter& painter) {
        painter.setFont(font);
        for (int i = 0; i < names.size(); ++i) {
            const QPointF at(area.left() + (i % columns) * cell,
                             area.top() + (i / columns) * metrics.height());
            const double middle = at.y() + metrics.height() / 2;
            painter.setPen(CurvePen(i));
            painter.drawLine(QPointF(at.x(), middle), QPointF(at.x() + stroke, middle));
            painter.setPen(Qt::black);
            painter.drawText(QRectF(at.x() + stroke + gap, at.y(), text, metrics.height()),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(names.at(i), Qt::ElideMiddle, text));
        }
    };
    return {draw, static_cast<double>((names.size() + columns - 1) / columns) * metrics.height()};
}
} // namespace

double ReportDots(double mm) {
    return mm / kMmPerInch * kReportDotsPerInch;
}

QFont ReportFont(double points, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: "ff" stays two letters for whoever searches the text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

ReportBlock ReportChart(const ReportContent& content, const QRectF& area, QPaintDevice& device) {
    double xLow = std::numeric_limits<double>::infinity(), xHigh = -xLow;
    double yLow = xLow, yHigh = -xLow;
    for (const ReportCurve& curve : content.curves) {
        if (!curve.points)
            continue;
        curve.points([&](double px, double py) {
            xLow = std::min(xLow, px);
            xHigh = std::max(xHigh, px);
            yLow = std::min(yLow, py);
            yHigh = std::max(yHigh, py);
        });
    }
    const Axis x = AxisOver(xLow, xHigh), y = AxisOver(yLow, yHigh);
    const QFont font = ReportFont(kReportSmallPoints), titleFont = ReportFont(kReportTextPoints);
    const QFontMetricsF metrics(font, &device), titles(titleFont, &device);
    double labelWidth = 0.0;
    for (double v = y.low; v <= y.high + y.step / 2; v += y.step)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(TickText(y, v)));
    const double pad = ReportDots(kReportPaddingMm);
    const QRectF chartArea(area.topLeft(), QSizeF(area.width(), ReportDots(kChartHeightMm)));
    const QRectF plot = chartArea.adjusted(titles.height() + labelWidth + pad * 3, pad,
                                           -metrics.horizontalAdvance(TickText(x, x.high)) / 2,
                                           -(metrics.height() + titles.height() + pad * 3));
    auto lines = std::make_shared<std::vector<QPolygonF>>(Polylines(content.curves, plot, x, y));
    const QString xTitle = content.xTitle, yTitle = content.yTitle;
    ReportBlock block;
    block.height = chartArea.height();
    block.draw = [=](QPainter& painter) {
        painter.setFont(font);
        DrawAxes(painter, plot, x, y, labelWidth);
        painter.save();
        painter.setClipRect(plot);
        for (std::size_t i = 0; i < lines->size(); ++i) {
            painter.setPen(CurvePen(static_cast<int>(i)));
            painter.drawPolyline((*lines)[i]);
        }
        painter.restore();
        painter.setFont(titleFont);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.left(), chartArea.bottom() - titles.height(), plot.width(),
                                titles.height()),
                         Qt::AlignCenter, xTitle);
        painter.save();
        painter.translate(chartArea.left(), plot.center().y());
        painter.rotate(-90);
        painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), titles.height()),
                         Qt::AlignCenter, yTitle);
        painter.restore();
    };
    if (!content.legend)
        return block;
    const ReportBlock legend =
        Legend(content.curves,
               QRectF(plot.left(), chartArea.bottom() + ReportDots(kReportGapMm), plot.width(), 0),
               device);
    block.height += ReportDots(kReportGapMm) + legend.height;
    block.draw = [chart = block.draw, legend = legend.draw](QPainter& painter) {
        chart(painter);
        legend(painter);
    };
    return block;
}
