#pragma once

#include <QAbstractTableModel>
#include <cstdint>

class Experiment;

// The grid's table: two columns, "Displacement" and "Load", under a heading
// the view shows as its header. Each cell's text is made when the view asks
// for it, from the experiment in the units the grid was filled in, so a
// million points cost no memory here. Before it shows an experiment the
// table holds only empty rows. Window thread.
class PointsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // `rows` empty rows and no experiment.
    void showEmptyRows(int rows);
    // One row per point, 1 to `count`, in `units`. The experiment must stay
    // alive while the table shows it; points it no longer holds read empty.
    void showPoints(const Experiment& experiment, std::int32_t units, std::int32_t count);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant
    headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString cellText(int row, int column) const;

    const Experiment* m_experiment = nullptr;
    std::int32_t m_units = 1;
    int m_rows = 0;
};
