#include "reportwriter.h"

#include "model/replacingfile.h"
#include "reports/reportchart.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <tuple>

namespace {
constexpr double kMarginMm = 15.0;
constexpr double kKeyColumnShare = 0.3; // of the page's width, at most
constexpr int kHeadingAlignment = Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap;
// The header is on every page: each value in it takes at most this many
// lines, so that the header keeps to a bounded share of the page whatever
// the operator typed. Notes that need more go on in full after the table.
constexpr int kMostHeaderValueLines = 3;
const QString kNotesLabel = QStringLiteral("Notes");

// The lines `text` wraps into at `width` in `font`, a line feed starting a
// new line. Breaks between words where it can, inside a word where it must.
QStringList
WrappedLines(const QString& text, const QFont& font, double width, QPaintDevice& device) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font, &device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        const qsizetype before = lines.size();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
        if (lines.size() == before)
            lines << QString();
    }
    return lines;
}

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
        bool notesCut = false;
        m_headerHeight = header(nullptr, &notesCut);
        m_footerHeight = QFontMetricsF(ReportFont(kReportSmallPoints), &m_device).height() +
                         ReportDots(kReportGapMm);
        newPage();
        chart();
        table(m_content.table);
        if (notesCut)
            notes();
    }

    void paint(QPainter& painter) {
        const int count = static_cast<int>(m_pages.size());
        for (int page = 0; page < count; ++page) {
            if (page > 0)
                m_device.newPage();
            header(&painter, nullptr);
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

    double header(QPainter* painter, bool* notesCut) const;
    double pairs(QPainter* painter,
                 const std::vector<std::pair<QString, QString>>& lines,
                 const QRectF& area,
                 bool* notesCut = nullptr) const;
    void notes();
    void chart() {
        const ReportBlock block =
            ReportChart(m_content, QRectF(m_body.left(), m_y, m_body.width(), 0), m_device);
        draw(block.draw);
        m_y += block.height + ReportDots(kReportGapMm);
    }
    void table(const ReportTable& table);
    void row(const QStringList& texts,
             const std::vector<int>& group,
             const std::vector<double>& widths,
             double height,
             bool heading);

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
// width and cut after kMostHeaderValueLines lines with a mark; `notesCut`
// tells whether the notes were cut. Draws when given a painter; returns the
// height either way.
double Layout::pairs(QPainter* painter,
                     const std::vector<std::pair<QString, QString>>& lines,
                     const QRectF& area,
                     bool* notesCut) const {
    const QFont bold = ReportFont(kReportTextPoints, true), plain = ReportFont(kReportTextPoints);
    const QFontMetricsF labels(bold, &m_device), values(plain, &m_device);
    double labelWidth = 0.0;
    for (const auto& [label, value] : lines)
        labelWidth = std::max(labelWidth, labels.horizontalAdvance(label + QStringLiteral(": ")));
    const double valueWidth = area.width() - labelWidth;
    double y = area.top();
    for (const auto& [label, value] : lines) {
        QStringList wrapped = WrappedLines(value, plain, valueWidth, m_device);
        if (wrapped.size() > kMostHeaderValueLines) {
            const bool isNotes = label == kNotesLabel;
            if (isNotes && notesCut)
                *notesCut = true;
            // An ellipsis marks the cut, the notes also where they go on.
            const QString mark =
                isNotes ? QStringLiteral(" (continued after the table)") : QString();
            wrapped.resize(kMostHeaderValueLines);
            wrapped.last() = values.elidedText(wrapped.last() + QChar(0x2026), Qt::ElideRight,
                                               valueWidth - values.horizontalAdvance(mark)) +
                             mark;
        }
        const double height =
            std::max(labels.height(), values.lineSpacing() * static_cast<double>(wrapped.size()));
        if (painter) {
            const int flags = Qt::AlignLeft | Qt::AlignTop;
            painter->setFont(bold);
            painter->drawText(QRectF(area.left(), y, labelWidth, height), flags,
                              label + QStringLiteral(":"));
            painter->setFont(plain);
            for (qsizetype i = 0; i < wrapped.size(); ++i)
                painter->drawText(QRectF(area.left() + labelWidth,
                                         y + values.lineSpacing() * static_cast<double>(i),
                                         valueWidth, values.lineSpacing()),
                                  flags, wrapped.at(i));
        }
        y += height;
    }
    return y - area.top();
}

// Notes too long for the header, in full after the table under their own
// heading, running on to further pages line by line.
void Layout::notes() {
    const QFont bold = ReportFont(kReportTextPoints, true), plain = ReportFont(kReportTextPoints);
    const QFontMetricsF metrics(plain, &m_device);
    const double lineHeight = metrics.lineSpacing();
    if (m_y + QFontMetricsF(bold, &m_device).height() + lineHeight > bottom())
        newPage();
    const QRectF headingArea(m_body.left(), m_y, m_body.width(),
                             QFontMetricsF(bold, &m_device).height());
    draw([=](QPainter& painter) {
        painter.setFont(bold);
        painter.setPen(Qt::black);
        painter.drawText(headingArea, Qt::AlignLeft | Qt::AlignTop, kNotesLabel);
    });
    m_y += headingArea.height() + ReportDots(kReportPaddingMm * 2);
    for (const QString& line :
         WrappedLines(m_content.fields.notes, plain, m_body.width(), m_device)) {
        if (m_y + lineHeight > bottom())
            newPage();
        const QRectF area(m_body.left(), m_y, m_body.width(), lineHeight);
        draw([=](QPainter& painter) {
            painter.setFont(plain);
            painter.setPen(Qt::black);
            painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, line);
        });
        m_y += lineHeight;
    }
}

// The title, the test on the left and the operator's fields on the right,
// and a rule under them.
double Layout::header(QPainter* painter, bool* notesCut) const {
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
        operatorLines.emplace_back(kNotesLabel, fields.notes);
    const double top = titleArea.bottom() + ReportDots(kReportPaddingMm * 2);
    const double half = (m_body.width() - ReportDots(kReportGapMm)) / 2;
    const double height = std::max(
        pairs(painter, m_content.header, QRectF(m_body.left(), top, half, 0)),
        pairs(painter, operatorLines, QRectF(m_body.right() - half, top, half, 0), notesCut));
    const double rule = top + height + ReportDots(kReportPaddingMm * 2);
    if (painter) {
        painter->setPen(QPen(Qt::black, ReportDots(0.2)));
        painter->drawLine(QPointF(m_body.left(), rule), QPointF(m_body.right(), rule));
    }
    return rule - m_body.top() + ReportDots(kReportGapMm);
}

// Each column as wide as its longest cell and its heading's longest word.
// The key columns take what the others leave, and no less than their share
// of the page when the others need more than the page.
std::vector<double> ColumnWidths(const ReportTable& table,
                                 int keys,
                                 const QFontMetricsF& cells,
                                 const QFontMetricsF& headings,
                                 double pageWidth) {
    const double pad = ReportDots(kReportPaddingMm);
    std::vector<double> widths;
    for (int c = 0; c < table.headings.size(); ++c) {
        double width = 0.0;
        for (const QString& word : table.headings.at(c).split(QLatin1Char(' ')))
            width = std::max(width, headings.horizontalAdvance(word));
        for (const QStringList& row : table.rows)
            width = std::max(width, cells.horizontalAdvance(row.value(c)));
        widths.push_back(width + 2 * pad);
    }
    const double others = std::accumulate(widths.begin() + keys, widths.end(), 0.0);
    const double keyMost = std::max(pageWidth * kKeyColumnShare, pageWidth - others);
    for (int c = 0; c < keys; ++c)
        widths[c] = std::min(widths[c], keyMost);
    return widths;
}

// The columns dealt into groups that fit the page's width, each led by the
// key columns and holding at least one other.
std::vector<std::vector<int>>
ColumnGroups(std::vector<double>& widths, int keys, double pageWidth) {
    const double keyWidth = std::accumulate(widths.begin(), widths.begin() + keys, 0.0);
    const int count = static_cast<int>(widths.size());
    std::vector<std::vector<int>> groups;
    for (int next = keys; next < count || groups.empty();) {
        std::vector<int> group(static_cast<std::size_t>(keys));
        std::iota(group.begin(), group.end(), 0);
        double used = keyWidth;
        while (next < count &&
               (static_cast<int>(group.size()) == keys || used + widths[next] <= pageWidth)) {
            widths[next] = std::min(widths[next], pageWidth - keyWidth);
            used += widths[next];
            group.push_back(next++);
        }
        groups.push_back(group);
    }
    return groups;
}

// One row of a column group at the current height: the headings on grey,
// wrapped; key cells to the left, values to the right, elided to fit.
void Layout::row(const QStringList& texts,
                 const std::vector<int>& group,
                 const std::vector<double>& widths,
                 double height,
                 bool heading) {
    const QFont font = ReportFont(kReportSmallPoints, heading);
    const QFontMetricsF metrics(font, &m_device);
    const double pad = ReportDots(kReportPaddingMm);
    std::vector<std::tuple<QRectF, QString, int>> placed;
    double x = m_body.left();
    for (const int c : group) {
        const QRectF cell(x, m_y, widths[c], height);
        const int align = heading                          ? kHeadingAlignment
                          : c < m_content.table.keyColumns ? Qt::AlignLeft | Qt::AlignVCenter
                                                           : Qt::AlignRight | Qt::AlignVCenter;
        placed.emplace_back(
            cell,
            heading ? texts.value(c)
                    : metrics.elidedText(texts.value(c), Qt::ElideMiddle, widths[c] - 2 * pad),
            align);
        x += widths[c];
    }
    draw([=](QPainter& painter) {
        painter.setFont(font);
        for (const auto& [cell, text, align] : placed) {
            if (heading)
                painter.fillRect(cell, QColor(232, 232, 232));
            painter.setPen(QPen(QColor(160, 160, 160), ReportDots(0.1)));
            painter.drawRect(cell);
            painter.setPen(Qt::black);
            painter.drawText(cell.adjusted(pad, pad, -pad, -pad), align, text);
        }
    });
    m_y += height;
}

// The table's column groups one after another; rows that do not fit go on to
// the next page under the group's headings again.
void Layout::table(const ReportTable& table) {
    const QFontMetricsF cells(ReportFont(kReportSmallPoints), &m_device);
    const QFontMetricsF headings(ReportFont(kReportSmallPoints, true), &m_device);
    const double pad = ReportDots(kReportPaddingMm);
    const int keys = std::min(table.keyColumns, static_cast<int>(table.headings.size()));
    std::vector<double> widths = ColumnWidths(table, keys, cells, headings, m_body.width());
    const double rowHeight = cells.height() + 2 * pad;
    for (const std::vector<int>& group : ColumnGroups(widths, keys, m_body.width())) {
        double headingHeight = 0.0;
        for (const int c : group) {
            const QRectF room(0, 0, widths[c] - 2 * pad, 1e6);
            headingHeight = std::max(
                headingHeight,
                headings.boundingRect(room, kHeadingAlignment, table.headings.at(c)).height());
        }
        headingHeight += 2 * pad;
        if (m_y + headingHeight + rowHeight > bottom())
            newPage();
        row(table.headings, group, widths, headingHeight, true);
        for (const QStringList& texts : table.rows) {
            if (m_y + rowHeight > bottom()) {
                newPage();
                row(table.headings, group, widths, headingHeight, true);
            }
            row(texts, group, widths, rowHeight, false);
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
