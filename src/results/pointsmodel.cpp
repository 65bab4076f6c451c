#include "pointsmodel.h"

#include "model/experiment.h"
#include "model/gfunctions.h"

#include <exception>

namespace {
constexpr int kColumns = 2;
constexpr int kDisplacementColumn = 0;
} // namespace

void PointsModel::showEmptyRows(int rows) {
    beginResetModel();
    m_experiment = nullptr;
    m_rows = rows;
    endResetModel();
}

void PointsModel::showPoints(const Experiment& experiment, std::int32_t units, std::int32_t count) {
    beginResetModel();
    m_experiment = &experiment;
    m_units = units;
    m_rows = count;
    endResetModel();
}

int PointsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int PointsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant PointsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    return cellText(index.row(), index.column());
}

QVariant PointsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == kDisplacementColumn ? tr("Displacement") : tr("Load");
}

// Row r shows point r + 1. A point the experiment no longer holds, or a
// reading whose conversion fails, shows an empty cell rather than stopping
// the paint.
QString PointsModel::cellText(int row, int column) const {
    if (!m_experiment || row >= m_experiment->Count())
        return {};
    try {
        const std::int32_t point = row + 1;
        const float value = column == kDisplacementColumn
                                ? m_experiment->Displacement(point, m_units)
                                : m_experiment->load(point, m_units);
        return QString::fromStdString(NumberText(value));
    } catch (const std::exception&) {
        return {};
    }
}
