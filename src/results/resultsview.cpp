#include "resultsview.h"

#include "platform/geometry.h"

#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {
// The summary captions use a larger font than the boxes and the grid.
constexpr double kCaptionFontPoints = 9.75;
constexpr double kWindowFontPoints = 8.25;

constexpr int kCaptionLeftTwips = 240;
constexpr int kBoxLeftTwips = 2280;
constexpr int kBoxWidthTwips = 855;
constexpr int kBoxHeightTwips = 285;
constexpr int kCaptionHeightTwips = 255;
constexpr int kCaptionWidthTwips = 1815;
constexpr int kMaxLoadCaptionWidthTwips = 1935;
constexpr int kCaptionGapPixels = 4;
constexpr int kMaxLoadTopTwips = 360;
constexpr int kMaxDispTopTwips = 720;
constexpr int kTestSpecificTopTwips = 1080;
constexpr int kGridWidthTwips = 2895;

int pixels(float twips) {
    return static_cast<int>(std::lround(twips / static_cast<float>(kTwipsPerPixel)));
}

QFont fontOfSize(const QFont& base, double points) {
    QFont font = base;
    font.setPointSizeF(points);
    return font;
}

// The range an axis shows for values from `low` to `high`; a single value
// still gets a visible span.
std::pair<double, double> axisRange(double low, double high) {
    if (low == high)
        return {low - 1.0, high + 1.0};
    return {low, high};
}
} // namespace

ResultsView::ResultsView(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Frame"));
    setAccessibleName(tr("Results"));
    setFrameShape(QFrame::Box);
    setFont(fontOfSize(font(), kWindowFontPoints));

    QLabel* labelMaxLoad = addCaption(QStringLiteral("labelMaxLoad"), tr("Max. Load"),
                                      kMaxLoadTopTwips, kMaxLoadCaptionWidthTwips);
    m_textMaxLoad = addBox(QStringLiteral("textMaxLoad"), labelMaxLoad, kMaxLoadTopTwips);
    QLabel* labelMaxDisp = addCaption(QStringLiteral("labelMaxDisp"), tr("Max. Displacement"),
                                      kMaxDispTopTwips, kCaptionWidthTwips);
    m_textMaxDisp = addBox(QStringLiteral("textMaxDisp"), labelMaxDisp, kMaxDispTopTwips);
    m_labelTestSpecific = addCaption(QStringLiteral("labelTestSpecific"), QString(),
                                     kTestSpecificTopTwips, kCaptionWidthTwips);
    m_textTestSpecific =
        addBox(QStringLiteral("textTestSpecific"), m_labelTestSpecific, kTestSpecificTopTwips);
    m_labelTestSpecific->hide();
    m_textTestSpecific->hide();

    buildGrid();
    buildChart();
    ResetGrid();
    placeStretchedControls();
}

QLabel* ResultsView::addCaption(const QString& objectName,
                                const QString& caption,
                                int topTwips,
                                int widthTwips) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(objectName);
    label->setFont(fontOfSize(font(), kCaptionFontPoints));
    label->setGeometry(TwipsRect(kCaptionLeftTwips, topTwips, widthTwips, kCaptionHeightTwips));
    // A caption wider than its design width in this font may use the gap up
    // to its box rather than lose its last letters.
    const int roomPixels = TwipsToPixels(kBoxLeftTwips - kCaptionLeftTwips) - kCaptionGapPixels;
    label->resize(std::max(label->width(), std::min(label->sizeHint().width(), roomPixels)),
                  label->height());
    return label;
}

// A read-only summary box; screen readers name it by its caption.
QLineEdit* ResultsView::addBox(const QString& objectName, QLabel* caption, int topTwips) {
    auto* box = new QLineEdit(this);
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setGeometry(TwipsRect(kBoxLeftTwips, topTwips, kBoxWidthTwips, kBoxHeightTwips));
    caption->setBuddy(box);
    return box;
}

void ResultsView::buildGrid() {
    m_grid = new QTableWidget(kEmptyGridRows, 2, this);
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setAccessibleName(tr("Points"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionsClickable(false);
}

void ResultsView::buildChart() {
    auto* chart = new QChart;
    chart->legend()->hide();
    m_series = new QLineSeries(chart);
    chart->addSeries(m_series);
    m_axisX = new QValueAxis(chart);
    m_axisY = new QValueAxis(chart);
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    m_series->attachAxis(m_axisX);
    m_series->attachAxis(m_axisY);

    m_chartView = new QChartView(chart, this);
    m_chartView->setObjectName(QStringLiteral("chart"));
    m_chartView->setAccessibleName(tr("Chart"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
}

void ResultsView::ResetGrid() {
    m_grid->clearContents();
    m_grid->setRowCount(kEmptyGridRows);
    m_grid->setHorizontalHeaderLabels({tr("Displacement"), tr("Load")});
}

void ResultsView::ClearResults() {
    ResetGrid();
    m_textMaxLoad->clear();
    m_textMaxDisp->clear();
    m_labelTestSpecific->hide();
    m_textTestSpecific->hide();
    setChartData({});
}

void ResultsView::setGridColumnWidths(int twips) {
    m_grid->setColumnWidth(0, TwipsToPixels(twips));
    m_grid->setColumnWidth(1, TwipsToPixels(twips));
}

void ResultsView::setIndependentAxes(bool independent) {
    m_independentAxes = independent;
    setChartData(m_series->points());
}

void ResultsView::setChartData(const QList<QPointF>& points) {
    m_series->replace(points);
    if (points.isEmpty()) {
        m_axisX->setRange(0.0, 1.0);
        m_axisY->setRange(0.0, 1.0);
        return;
    }
    const auto [minX, maxX] =
        std::minmax_element(points.begin(), points.end(),
                            [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const auto [minY, maxY] =
        std::minmax_element(points.begin(), points.end(),
                            [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    auto xRange = axisRange(minX->x(), maxX->x());
    auto yRange = axisRange(minY->y(), maxY->y());
    if (!m_independentAxes) {
        xRange = axisRange(std::min(minX->x(), minY->y()), std::max(maxX->x(), maxY->y()));
        yRange = xRange;
    }
    m_axisX->setRange(xRange.first, xRange.second);
    m_axisY->setRange(yRange.first, yRange.second);
}

void ResultsView::fitToClientArea(const QSize& clientPixels, int statusBarPixels) {
    const auto twips = [](int px) { return static_cast<float>(px * kTwipsPerPixel); };
    m_sizes = ApplyResizeRule(m_sizes, twips(clientPixels.width()), twips(clientPixels.height()),
                              twips(statusBarPixels));
    placeStretchedControls();
}

void ResultsView::placeStretchedControls() {
    setGeometry(pixels(kFrameLeftTwips), pixels(kFrameTopTwips), pixels(m_sizes.frameWidth),
                pixels(m_sizes.frameHeight));
    m_chartView->setGeometry(pixels(kChartLeftTwips), pixels(kChartTopTwips),
                             pixels(m_sizes.chartWidth), pixels(m_sizes.chartHeight));
    m_grid->setGeometry(TwipsToPixels(kCaptionLeftTwips), pixels(kGridTopTwips),
                        TwipsToPixels(kGridWidthTwips), pixels(m_sizes.gridHeight));
}
