#include "resultsview.h"

#include "platform/geometry.h"
#include "platform/readabletext.h"
#include "results/chartnavigator.h"
#include "results/chartreadout.h"
#include "results/pointsmodel.h"
#include "results/resultmarks.h"
#include "results/resultschart.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
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
constexpr int kGridRowPaddingPixels = 4;

int pixels(float twips) {
    return static_cast<int>(std::lround(twips / static_cast<float>(kTwipsPerPixel)));
}

QFont fontOfSize(const QFont& base, double points) {
    QFont font = base;
    font.setPointSizeF(points);
    return font;
}

} // namespace

ResultsView::ResultsView(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Frame"));
    setAccessibleName(tr("Results"));
    setFrameShape(QFrame::Box);
    setFont(fontOfSize(font(), kWindowFontPoints));

    m_labelMaxLoad = addCaption(QStringLiteral("labelMaxLoad"), tr("Max. Load"), kMaxLoadTopTwips,
                                kMaxLoadCaptionWidthTwips);
    m_textMaxLoad = addBox(QStringLiteral("textMaxLoad"), m_labelMaxLoad, kMaxLoadTopTwips);
    m_labelMaxDisp = addCaption(QStringLiteral("labelMaxDisp"), tr("Max. Displacement"),
                                kMaxDispTopTwips, kCaptionWidthTwips);
    m_textMaxDisp = addBox(QStringLiteral("textMaxDisp"), m_labelMaxDisp, kMaxDispTopTwips);
    m_labelTestSpecific = addCaption(QStringLiteral("labelTestSpecific"), QString(),
                                     kTestSpecificTopTwips, kCaptionWidthTwips);
    m_textTestSpecific =
        addBox(QStringLiteral("textTestSpecific"), m_labelTestSpecific, kTestSpecificTopTwips);
    m_labelTestSpecific->hide();
    m_textTestSpecific->hide();

    buildGrid();
    m_chart = new ResultsChart(this);
    linkGridAndChart();
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

// A read-only summary box; screen readers name it by its caption and read
// its value as its description.
QLineEdit* ResultsView::addBox(const QString& objectName, QLabel* caption, int topTwips) {
    auto* box = new QLineEdit(this);
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setGeometry(TwipsRect(kBoxLeftTwips, topTwips, kBoxWidthTwips, kBoxHeightTwips));
    caption->setBuddy(box);
    box->setAccessibleName(caption->text());
    return box;
}

// The box's accessible name follows its caption.
void ResultsView::setCaption(QLabel& caption, QLineEdit& box, const QString& text) {
    caption.setText(text);
    WidenToText(caption, box.x());
    box.setAccessibleName(text);
}

// A table view over a model of its own: the cells are made as they are
// painted, never stored.
void ResultsView::buildGrid() {
    m_points = new PointsModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setAccessibleName(tr("Points"));
    m_grid->setModel(m_points);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab and Shift+Tab move to the next control, as everywhere; the arrow
    // keys move within the grid.
    m_grid->setTabKeyNavigation(false);
    m_grid->setWordWrap(false);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    // All rows are one line high, so the view never measures them one by
    // one, whatever their number.
    QHeaderView& rows = *m_grid->verticalHeader();
    rows.setSectionResizeMode(QHeaderView::Fixed);
    rows.setMinimumSectionSize(0);
    rows.setDefaultSectionSize(m_grid->fontMetrics().height() + kGridRowPaddingPixels);
    rows.hide();
}

// A zoom or a pan selects the first point it shows in the grid; a row chosen
// in the grid marks its point on the chart.
void ResultsView::linkGridAndChart() {
    ChartNavigator& navigator = m_chart->navigator();
    connect(&navigator, &ChartNavigator::rangeShown, this, &ResultsView::selectPoint);
    connect(&navigator.readout(), &ChartReadout::changed, this, &ResultsView::readoutChanged);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_followingChart && current.isValid())
                    m_chart->navigator().markPoint(current.row() + 1);
            });
}

void ResultsView::selectPoint(qint64 number) {
    if (number < 1 || number > m_points->rowCount())
        return;
    const QModelIndex index = m_points->index(static_cast<int>(number - 1), 0);
    m_followingChart = true;
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_followingChart = false;
    m_grid->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void ResultsView::ResetGrid() {
    ++m_generation;
    m_points->showEmptyRows(kEmptyGridRows);
}

int ResultsView::gridRows() const {
    return 1 + m_points->rowCount();
}

void ResultsView::ClearResults() {
    ResetGrid();
    SetReadableText(*m_textMaxLoad, QString());
    SetReadableText(*m_textMaxDisp, QString());
    m_labelTestSpecific->hide();
    m_textTestSpecific->hide();
    m_chart->setPoints({});
    m_chart->setMarks({});
    dropPrintCopy();
}

void ResultsView::setGridColumnWidths(int twips) {
    m_grid->setColumnWidth(0, TwipsToPixels(twips));
    m_grid->setColumnWidth(1, TwipsToPixels(twips));
}

void ResultsView::setIndependentAxes(bool independent) {
    m_chart->setIndependentAxes(independent);
}

bool ResultsView::independentAxes() const {
    return m_chart->independentAxes();
}

void ResultsView::zoomOut() {
    m_chart->navigator().zoomOut();
}

// The copy shares the points of the test it was made for; a new test or an
// emptied chart lets them go.
void ResultsView::dropPrintCopy() {
    delete m_printChart;
    m_printChart = nullptr;
}

ResultsChart& ResultsView::chartForPrint() {
    if (!m_printChart) {
        m_printChart = new ResultsChart(this);
        m_printChart->setObjectName(QStringLiteral("chartForPrint"));
        m_printChart->hide();
    }
    m_printChart->showWholeTestOf(*m_chart);
    return *m_printChart;
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
    m_chart->setGeometry(pixels(kChartLeftTwips), pixels(kChartTopTwips),
                         pixels(m_sizes.chartWidth), pixels(m_sizes.chartHeight));
    m_grid->setGeometry(TwipsToPixels(kCaptionLeftTwips), pixels(kGridTopTwips),
                        TwipsToPixels(kGridWidthTwips), pixels(m_sizes.gridHeight));
}
