#include "reportwriter.h"

#include "model/envelope.h"
#include "model/replacingfile.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

namespace {
constexpr int kDotsPerInch = 300;
constexpr double kMmPerInch = 25.4;
constexpr double kMarginMm = 15.0;
constexpr double kChartHeightMm = 100.0;
constexpr double kGapMm = 4.0;
constexpr double kPaddingMm = 1.0;
constexpr double kCurveWidthMm = 0.25;
constexpr double kTitlePoints = 14.0;
constexpr double kTextPoints = 9.0;
constexpr double kTablePoints = 7.5;
constexpr double kKeyColumnShare = 0.3; // of the page's width, at most
constexpr int kTicks = 6;               // about this many steps along an axis

double Dots(double mm) {
    return mm / kMmPerInch * kDotsPerInch;
}

QFont Font(double points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: "ff" stays two letters for whoever searches the text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

const QColor kCurveColours[] = {QColor(0, 0, 200),   QColor(200, 0, 0),   QColor(0, 140, 0),
                                QColor(220, 120, 0), QColor(130, 0, 160), QColor(0, 150, 160),
                                QColor(120, 80, 30), QColor(230, 0, 140), QColor(90, 90, 90),
                                QColor(150, 150, 0)};
constexpr int kColourCount = static_cast<int>(std::size(kCurveColours));

// A curve's pen: ten colours, then the same with dashes and dots.
QPen CurvePen(int index) {
    QPen pen(kCurveColours[index % kColourCount], Dots(kCurveWidthMm));
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

using Drawing = std::function<void(QPainter&)>;

// Lays the content out on pages, each a list of drawings run once the page
// count is known; the header and footer are drawn on every page.
class Layout {
public:
    Layout(QPdfWriter& device, const ReportContent& content)
        : m_device(device), m_content(content), m_page(0, 0, device.width(), device.height()),
          m_body(m_page.adjusted(
              Dots(kMarginMm), Dots(kMarginMm), -Dots(kMarginMm), -Dots(kMarginMm))) {
        m_headerHeight = header(nullptr);
        m_footerHeight = QFontMetricsF(Font(kTablePoints), &m_device).height() + Dots(kGapMm);
        newPage();
        chart();
        table(m_content.table);
    }

    void paint(QPainter& painter) {
        const int count = static_cast<int>(m_pages.size());
        for (int page = 0; page < count; ++page) {
            if (page > 0)
                m_device.newPage();
            header(&painter);
            painter.setFont(Font(kTablePoints));
            painter.setPen(Qt::black);
            painter.drawText(QRectF(m_body.left(), m_body.bottom() - m_footerHeight, m_body.width(),
                                    m_footerHeight),
                             Qt::AlignHCenter | Qt::AlignBottom,
                             QStringLiteral("Page %1 of %2").arg(page + 1).arg(count));
            for (const Drawing& drawing : m_pages[static_cast<std::size_t>(page)])
                drawing(painter);
        }
    }

private:
    double bottom() const { return m_body.bottom() - m_footerHeight; }
    void newPage() {
        m_pages.emplace_back();
        m_y = m_body.top() + m_headerHeight;
    }
    void draw(Drawing drawing) { m_pages.back().push_back(std::move(drawing)); }

    double header(QPainter* painter) const;
    double pairs(QPainter* painter,
                 const std::vector<std::pair<QString, QString>>& lines,
                 const QRectF& area) const;
    void chart();
    double legend(const QRectF& area);
    void table(const ReportTable& table);

    QPdfWriter& m_device;
    const ReportContent& m_content;
    QRectF m_page;
    QRectF m_body;
    double m_headerHeight = 0.0;
    double m_footerHeight = 0.0;
    double m_y = 0.0;
    std::vector<std::vector<Drawing>> m_pages;
};

// Labels and their values, one under another, values wrapped to the area's
// width. Draws when given a painter; returns the height either way.
double Layout::pairs(QPainter* painter,
                     const std::vector<std::pair<QString, QString>>& lines,
                     const QRectF& area) const {
    const QFont bold = Font(kTextPoints, true), plain = Font(kTextPoints);
    const QFontMetricsF labels(bold, &m_device), values(plain, &m_device);
    double labelWidth = 0.0;
    for (const auto& [label, value] : lines)
        labelWidth = std::max(labelWidth, labels.horizontalAdvance(label + QStringLiteral(": ")));
    double y = area.top();
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    for (const auto& [label, value] : lines) {
        const QRectF valueArea(area.left() + labelWidth, y, area.width() - labelWidth, 1e6);
        const double height =
            std::max(labels.height(), values.boundingRect(valueArea, flags, value).height());
        if (painter) {
            painter->setFont(bold);
            painter->drawText(QRectF(area.left(), y, labelWidth, height), flags,
                              label + QStringLiteral(":"));
            painter->setFont(plain);
            painter->drawText(QRectF(valueArea.topLeft(), QSizeF(valueArea.width(), height)), flags,
                              value);
        }
        y += height;
    }
    return y - area.top();
}

// The title, the test on the left and the operator's fields on the right,
// and a rule under them.
double Layout::header(QPainter* painter) const {
    const QFont title = Font(kTitlePoints, true);
    const QFontMetricsF titleMetrics(title, &m_device);
    const QRectF titleArea(m_body.left(), m_body.top(), m_body.width(), titleMetrics.height());
    if (painter) {
        painter->setPen(Qt::black);
        painter->setFont(title);
        painter->drawText(
            titleArea, Qt::AlignLeft | Qt::AlignVCenter,
            titleMetrics.elidedText(m_content.title, Qt::ElideMiddle, titleArea.width()));
    }
    const ReportFields& fields = m_content.fields;
    std::vector<std::pair<QString, QString>> operatorLines = {
        {QStringLiteral("Specimen"), fields.specimen},
        {QStringLiteral("Material"), fields.material},
        {QStringLiteral("Operator"), fields.operatorName}};
    if (!fields.notes.isEmpty())
        operatorLines.emplace_back(QStringLiteral("Notes"), fields.notes);
    const double top = titleArea.bottom() + Dots(kPaddingMm * 2);
    const double half = (m_body.width() - Dots(kGapMm)) / 2;
    const double height =
        std::max(pairs(painter, m_content.header, QRectF(m_body.left(), top, half, 0)),
                 pairs(painter, operatorLines, QRectF(m_body.right() - half, top, half, 0)));
    const double rule = top + height + Dots(kPaddingMm * 2);
    if (painter) {
        painter->setPen(QPen(Qt::black, Dots(0.2)));
        painter->drawLine(QPointF(m_body.left(), rule), QPointF(m_body.right(), rule));
    }
    return rule - m_body.top() + Dots(kGapMm);
}

// Each curve goes through an envelope of the plot's columns of dots, which
// keeps what the page can show of it (a few points a column) and no more.
std::vector<QPolygonF> Polylines(const std::vector<ReportCurve>& curves,
                                 const QRectF& plot,
                                 const Axis& x,
                                 const Axis& y) {
    std::vector<QPolygonF> lines;
    const double xScale = plot.width() / (x.high - x.low);
    const double yScale = plot.height() / (y.high - y.low);
    for (const ReportCurve& curve : curves) {
        Envelope envelope(x.low, x.high, std::max(1, static_cast<int>(plot.width())));
        for (std::size_t i = 0; i < curve.points.size(); ++i)
            envelope.add(i, curve.points[i].x(), curve.points[i].y());
        QPolygonF line;
        for (const Envelope::Point& point : envelope.points())
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
    const QPen grid(QColor(215, 215, 215), Dots(0.15)), frame(Qt::black, Dots(0.2));
    const double pad = Dots(kPaddingMm);
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

// The chart's area: the plot, its tick labels and its axis titles.
void Layout::chart() {
    double xLow = std::numeric_limits<double>::infinity(), xHigh = -xLow;
    double yLow = xLow, yHigh = -xLow;
    for (const ReportCurve& curve : m_content.curves) {
        for (const QPointF& point : curve.points) {
            xLow = std::min(xLow, point.x());
            xHigh = std::max(xHigh, point.x());
            yLow = std::min(yLow, point.y());
            yHigh = std::max(yHigh, point.y());
        }
    }
    const Axis x = AxisOver(xLow, xHigh), y = AxisOver(yLow, yHigh);
    const QFont font = Font(kTablePoints), titleFont = Font(kTextPoints);
    const QFontMetricsF metrics(font, &m_device), titles(titleFont, &m_device);
    double labelWidth = 0.0;
    for (double v = y.low; v <= y.high + y.step / 2; v += y.step)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(TickText(y, v)));
    const double pad = Dots(kPaddingMm);
    const QRectF area(m_body.left(), m_y, m_body.width(), Dots(kChartHeightMm));
    const QRectF plot = area.adjusted(titles.height() + labelWidth + pad * 3, pad,
                                      -metrics.horizontalAdvance(TickText(x, x.high)) / 2,
                                      -(metrics.height() + titles.height() + pad * 3));
    auto lines = std::make_shared<std::vector<QPolygonF>>(Polylines(m_content.curves, plot, x, y));
    const QString xTitle = m_content.xTitle, yTitle = m_content.yTitle;
    draw([=](QPainter& painter) {
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
        painter.drawText(
            QRectF(plot.left(), area.bottom() - titles.height(), plot.width(), titles.height()),
            Qt::AlignCenter, xTitle);
        painter.save();
        painter.translate(area.left(), plot.center().y());
        painter.rotate(-90);
        painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), titles.height()),
                         Qt::AlignCenter, yTitle);
        painter.restore();
    });
    m_y = area.bottom() + Dots(kGapMm);
    if (m_content.legend)
        m_y += legend(QRectF(plot.left(), m_y, plot.width(), 0)) + Dots(kGapMm);
}

// The curves' names under the chart, each after a stroke of its pen, in as
// many columns as the longest name allows.
double Layout::legend(const QRectF& area) {
    const QFont font = Font(kTablePoints);
    const QFontMetricsF metrics(font, &m_device);
    const double stroke = Dots(8.0), gap = Dots(kPaddingMm * 2);
    QStringList names;
    double widest = 0.0;
    for (const ReportCurve& curve : m_content.curves) {
        names << curve.name;
        widest = std::max(widest, metrics.horizontalAdvance(curve.name));
    }
    const double cell = std::min(area.width(), stroke + widest + gap * 3);
    const double text = cell - stroke - gap * 2;
    const int columns = std::max(1, static_cast<int>(area.width() / cell));
    draw([=](QPainter& painter) {
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
    });
    return static_cast<double>((names.size() + columns - 1) / columns) * metrics.height();
}

// The table's columns in groups that fit the page's width, each group led by
// the key columns; rows run on to the next page under the group's headings.
void Layout::table(const ReportTable& table) {
    const QFont font = Font(kTablePoints), bold = Font(kTablePoints, true);
    const QFontMetricsF cells(font, &m_device), headings(bold, &m_device);
    const double pad = Dots(kPaddingMm);
    const int count = static_cast<int>(table.headings.size());
    const int keys = std::min(table.keyColumns, count);
    std::vector<double> widths(static_cast<std::size_t>(count), 0.0);
    for (int c = 0; c < count; ++c) {
        double& width = widths[static_cast<std::size_t>(c)];
        for (const QString& word : table.headings.at(c).split(QLatin1Char(' ')))
            width = std::max(width, headings.horizontalAdvance(word));
        for (const QStringList& row : table.rows)
            width = std::max(width, cells.horizontalAdvance(row.value(c)));
        width += 2 * pad;
    }
    double keyWidth = 0.0;
    for (int c = 0; c < keys; ++c) {
        widths[c] = std::min(widths[c], m_body.width() * kKeyColumnShare);
        keyWidth += widths[c];
    }
    std::vector<std::vector<int>> groups;
    for (int next = keys; next < count || groups.empty();) {
        std::vector<int> group;
        for (int c = 0; c < keys; ++c)
            group.push_back(c);
        double used = keyWidth;
        while (next < count &&
               (static_cast<int>(group.size()) == keys || used + widths[next] <= m_body.width())) {
            widths[next] = std::min(widths[next], m_body.width() - keyWidth);
            used += widths[next];
            group.push_back(next++);
        }
        groups.push_back(group);
    }
    const double rowHeight = cells.height() + 2 * pad;
    const int wrap = Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap;
    for (const std::vector<int>& group : groups) {
        double headingHeight = 0.0;
        for (const int c : group)
            headingHeight =
                std::max(headingHeight, headings
                                            .boundingRect(QRectF(0, 0, widths[c] - 2 * pad, 1e6),
                                                          wrap, table.headings.at(c))
                                            .height());
        headingHeight += 2 * pad;
        auto cellsOf = [&](const QStringList& texts, double y, double height, bool heading) {
            std::vector<std::pair<QRectF, QString>> placed;
            double x = m_body.left();
            for (const int c : group) {
                const QRectF cell(x, y, widths[c], height);
                placed.emplace_back(cell, heading
                                              ? texts.value(c)
                                              : cells.elidedText(texts.value(c), Qt::ElideMiddle,
                                                                 widths[c] - 2 * pad));
                x += widths[c];
            }
            draw([=](QPainter& painter) {
                painter.setFont(heading ? bold : font);
                for (std::size_t i = 0; i < placed.size(); ++i) {
                    const auto& [cell, text] = placed[i];
                    if (heading)
                        painter.fillRect(cell, QColor(232, 232, 232));
                    painter.setPen(QPen(QColor(160, 160, 160), Dots(0.1)));
                    painter.drawRect(cell);
                    painter.setPen(Qt::black);
                    const int align = heading ? wrap
                                      : static_cast<int>(i) < keys
                                          ? Qt::AlignLeft | Qt::AlignVCenter
                                          : Qt::AlignRight | Qt::AlignVCenter;
                    painter.drawText(cell.adjusted(pad, pad, -pad, -pad), align, text);
                }
            });
        };
        if (m_y + headingHeight + rowHeight > bottom())
            newPage();
        cellsOf(table.headings, m_y, headingHeight, true);
        m_y += headingHeight;
        for (const QStringList& row : table.rows) {
            if (m_y + rowHeight > bottom()) {
                newPage();
                cellsOf(table.headings, m_y, headingHeight, true);
                m_y += headingHeight;
            }
            cellsOf(row, m_y, rowHeight, false);
            m_y += rowHeight;
        }
        m_y += Dots(kGapMm);
    }
}
} // namespace

ReportWriter::ReportWriter(const ReportContent& content, PageSize size)
    : m_content(content), m_size(size) {}

ReportWriter::PageSize ReportWriter::LocalePageSize() {
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? PageSize::Letter
                                                                      : PageSize::A4;
}

QByteArray ReportWriter::pdf() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kDotsPerInch);
    writer.setPageSize(QPageSize(m_size == PageSize::Letter ? QPageSize::Letter : QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(m_content.title);
    writer.setCreator(QStringLiteral("Torvik"));
    Layout layout(writer, m_content);
    QPainter painter(&writer);
    layout.paint(painter);
    painter.end();
    return bytes;
}

void ReportWriter::write(const QString& fileName) const {
    const QByteArray bytes = pdf();
    ReplacingFile file(fileName.toStdString());
    file.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    file.Commit();
}
