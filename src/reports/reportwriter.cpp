#include "reportwriter.h"

#include "model/replacingfile.h"
#include "reports/reportchart.h"

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
constexpr double kMarginMm = 15.0;
constexpr double kKeyColumnShare = 0.3; // of the page's width, at most

using Drawing = std::function<void(QPainter&)>;

// Lays the content out on pages, each a list of drawings run once the page
// count is known; the header and footer are drawn on every page.
class Layout {
public:
    Layout(QPdfWriter& device, const ReportContent& content)
        : m_device(device), m_content(content), m_page(0, 0, device.width(), device.height()),
          m_body(m_page.adjusted(ReportDots(kMarginMm),
                                 ReportDots(kMarginMm),
                                 -ReportDots(kMarginMm),
                                 -ReportDots(kMarginMm))) {
        m_headerHeight = header(nullptr);
        m_footerHeight = QFontMetricsF(ReportFont(kReportSmallPoints), &m_device).height() +
                         ReportDots(kReportGapMm);
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
            painter.setFont(ReportFont(kReportSmallPoints));
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
    void chart() {
        const ReportBlock block =
            ReportChart(m_content, QRectF(m_body.left(), m_y, m_body.width(), 0), m_device);
        draw(block.draw);
        m_y += block.height + ReportDots(kReportGapMm);
    }
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
    const QFont bold = ReportFont(kReportTextPoints, true), plain = ReportFont(kReportTextPoints);
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
    const QFont title = ReportFont(kReportTitlePoints, true);
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
    const double top = titleArea.bottom() + ReportDots(kReportPaddingMm * 2);
    const double half = (m_body.width() - ReportDots(kReportGapMm)) / 2;
    const double height =
        std::max(pairs(painter, m_content.header, QRectF(m_body.left(), top, half, 0)),
                 pairs(painter, operatorLines, QRectF(m_body.right() - half, top, half, 0)));
    const double rule = top + height + ReportDots(kReportPaddingMm * 2);
    if (painter) {
        painter->setPen(QPen(Qt::black, ReportDots(0.2)));
        painter->drawLine(QPointF(m_body.left(), rule), QPointF(m_body.right(), rule));
    }
    return rule - m_body.top() + ReportDots(kReportGapMm);
}

// The table's columns in groups that fit the page's width, each group led by
// the key columns; rows run on to the next page under the group's headings.
void Layout::table(const ReportTable& table) {
    const QFont font = ReportFont(kReportSmallPoints), bold = ReportFont(kReportSmallPoints, true);
    const QFontMetricsF cells(font, &m_device), headings(bold, &m_device);
    const double pad = ReportDots(kReportPaddingMm);
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
    // The key columns take what the others leave, and no less than their share
    // when the others need more than the page.
    double others = 0.0;
    for (int c = keys; c < count; ++c)
        others += widths[c];
    const double keyMost = std::max(m_body.width() * kKeyColumnShare, m_body.width() - others);
    double keyWidth = 0.0;
    for (int c = 0; c < keys; ++c) {
        widths[c] = std::min(widths[c], keyMost);
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
                    painter.setPen(QPen(QColor(160, 160, 160), ReportDots(0.1)));
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
        m_y += ReportDots(kReportGapMm);
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
    writer.setResolution(kReportDotsPerInch);
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
