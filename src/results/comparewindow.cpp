#include "comparewindow.h"

#include "model/gfunctions.h"
#include "platform/dialogmessages.h"
#include "platform/dialogs.h"
#include "platform/widgetnames.h"
#include "results/comparecurves.h"
#include "results/resultsview.h"
#include "results/testpropertieswindow.h"

#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <exception>
#include <limits>

namespace {
constexpr int kWidthPixels = 900;
constexpr int kHeightPixels = 640;
// The chart's and the table's shares of the height at the first size.
constexpr int kChartShare = 3;
constexpr int kTableShare = 2;
constexpr int kSmallestChartPixels = 240;
constexpr int kLeadingColumns = 3; // file, test type, points
// Figures of a test's properties and their mean, as the other tables give
// them; a spread to fewer, as it is read.
constexpr int kValueDigits = 7;
constexpr int kSpreadDigits = 4;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString ValueText(const std::optional<double>& value, bool pointNumber, int digits = kValueDigits) {
    if (!value)
        return {};
    if (pointNumber)
        return Text(PropertyText(PropertyValue::Of(*value), true));
    return Text(FixedNumberText(*value, digits));
}
} // namespace

CompareWindow::CompareWindow(Dialogs& dialogs,
                             const QString& folder,
                             std::int32_t units,
                             QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_folder(folder),
      m_units(units == kUnitsEnglish ? kUnitsEnglish : kUnitsMetric) {
    setObjectName(QStringLiteral("Compare"));
    setWindowTitle(tr("Compare Tests"));
    setAccessibleName(tr("Compare Tests"));
    resize(kWidthPixels, kHeightPixels);

    buildChart();
    m_chartView = Named(new QChartView(m_chart, this), QStringLiteral("chartCompare"),
                        tr("Curves of the compared tests"));
    m_curves = new CompareCurves(*m_chartView, *m_axisX, *m_axisY, m_units);
    m_table = Named(new QTableWidget(0, 0, this), QStringLiteral("tableCompare"),
                    tr("Properties of the compared tests"));
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab moves to the next control; the arrow keys move within the table.
    m_table->setTabKeyNavigation(false);
    m_chartView->setMinimumHeight(kSmallestChartPixels);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_chartView);
    splitter->addWidget(m_table);
    splitter->setStretchFactor(0, kChartShare);
    splitter->setStretchFactor(1, kTableShare);
    splitter->setSizes({kHeightPixels * kChartShare, kHeightPixels * kTableShare});

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* buttonAdd = Named(buttons->addButton(tr("&Add..."), QDialogButtonBox::ActionRole),
                                   QStringLiteral("buttonAdd"), tr("Add"));
    m_buttonRemove = Named(buttons->addButton(tr("&Remove"), QDialogButtonBox::ActionRole),
                           QStringLiteral("buttonRemove"), tr("Remove"));
    m_buttonReport = Named(buttons->addButton(tr("&Report..."), QDialogButtonBox::ActionRole),
                           QStringLiteral("buttonReport"), tr("Report"));
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(tr("Close"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);

    connect(buttonAdd, &QPushButton::clicked, this, &CompareWindow::handleAdd);
    connect(m_buttonRemove, &QPushButton::clicked, this, &CompareWindow::handleRemove);
    connect(m_buttonReport, &QPushButton::clicked, this, &CompareWindow::reportRequested);
    connect(m_table, &QTableWidget::currentCellChanged, this,
            &CompareWindow::handleCurrentRowChanged);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fillTable();
}

void CompareWindow::buildChart() {
    m_chart = new QChart;
    m_chart->legend()->setVisible(true);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_axisX = new QValueAxis(m_chart);
    m_axisY = new QValueAxis(m_chart);
    const bool english = m_units == kUnitsEnglish;
    m_axisX->setTitleText(english ? tr("Displacement (inch)") : tr("Displacement (mm)"));
    m_axisY->setTitleText(english ? tr("Load (lbs)") : tr("Load (N)"));
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
}

bool CompareWindow::addFile(const QString& fileName) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    if (refusedAsOpen(path))
        return false;
    DialogMessages messages(m_dialogs);
    Experiment& experiment = m_experiments.Add(path.toStdString());
    bool loaded = false;
    try {
        loaded = experiment.LoadFile(path.toStdString(), messages);
        if (loaded)
            addCurve(experiment, QFileInfo(path).fileName());
    } catch (const std::exception&) {
        m_dialogs.message(tr("File could not be opened.  Not a valid file type."));
        loaded = false;
    }
    if (!loaded) {
        m_experiments.Remove(m_experiments.Count());
        return false;
    }
    m_paths << path;
    m_properties.push_back(SetEntryOf(experiment, m_units));
    redrawCurves();
    fitAxes();
    fillTable();
    return true;
}

// The collection's keys ignore letter case: a second file whose path differs
// only in case could not be told apart from the first.
bool CompareWindow::refusedAsOpen(const QString& path) {
    for (const QString& open : std::as_const(m_paths)) {
        if (open.compare(path, Qt::CaseInsensitive) != 0)
            continue;
        m_dialogs.message(open == path
                              ? tr("This file is already being compared.")
                              : tr("A file whose name differs from an open one only in letter "
                                   "case cannot be compared with it."));
        return true;
    }
    return false;
}

void CompareWindow::addCurve(const Experiment& experiment, const QString& name) {
    m_curves->add(experiment, name);
}

// Stress against strain, each test with its own specimen, when every test
// is a tension test whose dimensions are known; load against displacement
// otherwise, so that all curves share one pair of axes.
void CompareWindow::redrawCurves() {
    bool stressStrain = m_experiments.Count() > 0;
    for (const Experiment& experiment : m_experiments)
        stressStrain = stressStrain && experiment.TestType() == kTestTension &&
                       HasStressDimensions(experiment.specimen());
    m_curves->setStressStrain(stressStrain);
    const AxisTitles titles = ChartAxisTitles(stressStrain, m_units);
    m_axisX->setTitleText(titles.x);
    m_axisY->setTitleText(titles.y);
}

void CompareWindow::removeFile(int row) {
    if (row < 0 || row >= fileCount())
        return;
    m_experiments.Remove(row + 1);
    m_paths.removeAt(row);
    m_properties.erase(m_properties.begin() + row);
    m_curves->remove(row);
    redrawCurves();
    fitAxes();
    fillTable();
}

void CompareWindow::fitAxes() {
    m_curves->fitAxes();
}

void CompareWindow::fillTable() {
    const SetTable table = MakeSetTable(m_properties, m_units);
    QStringList headings{tr("File"), tr("Test type"), tr("Points")};
    for (const SetColumn& column : table.columns)
        headings << Text(column.heading);
    headings << Text(kLeftOutHeading);
    const int files = fileCount();
    const int statisticRows = files > 1 ? static_cast<int>(StatisticNames().size()) : 0;
    m_table->clear();
    m_table->setColumnCount(static_cast<int>(headings.size()));
    m_table->setHorizontalHeaderLabels(headings);
    // A heading is shown whole, and its full text is also its tooltip.
    for (int column = 0; column < headings.size(); ++column)
        m_table->horizontalHeaderItem(column)->setToolTip(headings.at(column));
    m_table->setRowCount(files + statisticRows);
    for (int row = 0; row < files; ++row) {
        const SetEntry& entry = m_properties[static_cast<std::size_t>(row)];
        const QString name = QFileInfo(m_paths.at(row)).fileName();
        SetTableCell(*m_table, row, 0, name, m_paths.at(row));
        SetTableCell(*m_table, row, 1, Text(entry.testType), name);
        SetTableCell(*m_table, row, 2, QString::number(entry.points), name);
        int column = kLeadingColumns;
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            SetTableCell(*m_table, row, column++,
                         ValueText(table.values[static_cast<std::size_t>(row)][c],
                                   table.columns[c].pointNumber),
                         name);
        SetTableCell(*m_table, row, column, Text(entry.leftOut), name);
    }
    if (statisticRows > 0)
        fillStatisticRows(files, table);
    m_table->resizeColumnsToContents();
    // What the legend shows, for screen readers.
    QStringList names;
    for (const QString& open : std::as_const(m_paths))
        names << QFileInfo(open).fileName();
    m_chartView->setAccessibleDescription(names.join(QStringLiteral(", ")));
    m_buttonReport->setEnabled(files > 0);
    handleCurrentRowChanged();
}

// The mean and the confidence limits to the figures of a value, the spread
// to fewer.
void CompareWindow::fillStatisticRows(int firstRow, const SetTable& table) {
    const std::vector<std::string>& names = StatisticNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        SetTableCell(*m_table, firstRow + static_cast<int>(i), 0, Text(names[i]));
    int column = kLeadingColumns;
    for (const SetStatistics& statistics : table.statistics) {
        const std::vector<std::optional<double>> values = StatisticValues(statistics);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const bool spread = i == 1 || i == 2;
            SetTableCell(*m_table, firstRow + static_cast<int>(i), column,
                         ValueText(values[i], false, spread ? kSpreadDigits : kValueDigits),
                         Text(names[i]));
        }
        ++column;
    }
}

void CompareWindow::handleAdd() {
    Dialogs::FileRequest request;
    request.folder = m_folder;
    request.filter = tr("Torvik Data File (*.tdf);;All Files (*)");
    // Several files may be chosen at once; each is added in turn, and one
    // refused does not stop the others.
    for (const QString& fileName : m_dialogs.openFileNames(request))
        addFile(fileName);
}

void CompareWindow::handleRemove() {
    removeFile(m_table->currentRow());
}

// Only a file's row can be removed, not a statistic row.
void CompareWindow::handleCurrentRowChanged() {
    const int row = m_table->currentRow();
    m_buttonRemove->setEnabled(row >= 0 && row < fileCount());
}
