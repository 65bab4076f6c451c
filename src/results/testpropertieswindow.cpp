#include "testpropertieswindow.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/standardresults.h"
#include "model/testproperties.h"
#include "platform/textclipboard.h"
#include "platform/widgetnames.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int kMinimumWidthPixels = 420;
constexpr int kMinimumHeightPixels = 420;
} // namespace

TestPropertiesWindow::TestPropertiesWindow(const Experiment& experiment,
                                           std::int32_t units,
                                           QWidget* parent)
    : QDialog(parent), m_experiment(experiment), m_units(units) {
    setObjectName(QStringLiteral("TestProperties"));
    setWindowTitle(tr("Test Properties"));
    setAccessibleName(tr("Test Properties"));
    setMinimumSize(kMinimumWidthPixels, kMinimumHeightPixels);

    auto* labelUnits = new QLabel(tr("&Units:"), this);
    m_comboUnits = Named(new QComboBox(this), QStringLiteral("comboUnits"), tr("Units"));
    m_comboUnits->addItems({tr("English"), tr("Metric")});
    labelUnits->setBuddy(m_comboUnits);
    m_table = Named(new QTableWidget(0, 2, this), QStringLiteral("tableProperties"),
                    tr("Test properties"));
    m_table->setHorizontalHeaderLabels({tr("Property"), tr("Value")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab moves to the next control; the arrow keys move within the table.
    m_table->setTabKeyNavigation(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* buttonCopy = Named(buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole),
                                    QStringLiteral("buttonCopy"), tr("Copy"));
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(tr("Close"));
    auto* copyShortcut = new QAction(this);
    copyShortcut->setShortcut(QKeySequence::Copy);
    addAction(copyShortcut);

    auto* unitsRow = new QHBoxLayout;
    unitsRow->addWidget(labelUnits);
    unitsRow->addWidget(m_comboUnits);
    unitsRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(unitsRow);
    layout->addWidget(m_table);
    layout->addWidget(buttons);

    connect(m_comboUnits, &QComboBox::activated, this, &TestPropertiesWindow::handleUnitsActivated);
    connect(buttonCopy, &QPushButton::clicked, this, &TestPropertiesWindow::handleCopy);
    connect(copyShortcut, &QAction::triggered, this, &TestPropertiesWindow::handleCopy);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setUnits(units);
}

void TestPropertiesWindow::setUnits(std::int32_t units) {
    m_units = units == kUnitsEnglish ? kUnitsEnglish : kUnitsMetric;
    m_comboUnits->setCurrentIndex(m_units == kUnitsEnglish ? 0 : 1);
    fill();
}

// Computing never throws; a property without a value shows the reason.
void TestPropertiesWindow::fill() {
    const TestProperties properties = ComputeTestProperties(m_experiment, m_units);
    const std::vector<PropertyColumn> columns = PropertyColumns(m_units);
    const TestResults results = StandardResults(m_experiment);
    const int resultRows =
        results.results.empty() ? 0 : static_cast<int>(results.results.size()) + 1;
    m_table->setRowCount(static_cast<int>(columns.size()) + 2 + resultRows);
    SetTableCell(*m_table, 0, 0, tr("Test type"));
    SetTableCell(*m_table, 0, 1, QString::fromStdString(m_experiment.TestString()));
    SetTableCell(*m_table, 1, 0, tr("Points"));
    SetTableCell(*m_table, 1, 1, QString::number(m_experiment.Count()));
    int row = 2;
    for (const PropertyColumn& column : columns) {
        const PropertyValue& value = properties.*column.member;
        const std::string text = value.present() ? PropertyText(value, column.pointNumber)
                                                 : "(" + AbsenceText(value.absence) + ")";
        const QString heading = QString::fromStdString(column.heading);
        SetTableCell(*m_table, row, 0, heading);
        // A screen reader on a value hears which property it is.
        SetTableCell(*m_table, row, 1, QString::fromStdString(text), heading);
        ++row;
    }
    if (resultRows > 0)
        fillResults(results, row);
    m_table->resizeColumnToContents(0);
}

// The results of the test's kind under a heading row: the value in the
// window's units with what it was found from, or the reason it is empty.
void TestPropertiesWindow::fillResults(const TestResults& results, int row) {
    const auto kind = ResultKind(m_experiment.TestType(), m_experiment.specimen());
    SetTableCell(*m_table, row, 0,
                 tr("Results of the %1").arg(QString::fromStdString(ResultKindText(*kind))));
    SetTableCell(*m_table, row++, 1, {});
    for (const Result& result : results.results) {
        const QString heading = QString::fromStdString(ResultHeading(result, m_units));
        const QString text = QString::fromStdString(ResultCellText(result, m_units));
        SetTableCell(*m_table, row, 0, heading);
        SetTableCell(*m_table, row++, 1, text, heading);
    }
}

void TestPropertiesWindow::handleUnitsActivated(int index) {
    const std::int32_t units = index == 0 ? kUnitsEnglish : kUnitsMetric;
    if (units == m_units)
        return;
    setUnits(units);
    emit unitsChosen(units);
}

void TestPropertiesWindow::handleCopy() {
    PutTextOnClipboard(TableText(*m_table));
}

QString TableText(const QTableWidget& table) {
    QStringList lines;
    QStringList cells;
    for (int column = 0; column < table.columnCount(); ++column) {
        const QTableWidgetItem* heading = table.horizontalHeaderItem(column);
        cells << (heading ? heading->text() : QString());
    }
    lines << cells.join(QLatin1Char('\t'));
    for (int row = 0; row < table.rowCount(); ++row) {
        cells.clear();
        for (int column = 0; column < table.columnCount(); ++column) {
            const QTableWidgetItem* item = table.item(row, column);
            cells << (item ? item->text() : QString());
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void SetTableCell(
    QTableWidget& table, int row, int column, const QString& text, const QString& description) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (!description.isEmpty())
        item->setData(Qt::AccessibleDescriptionRole, description);
    table.setItem(row, column, item);
}
