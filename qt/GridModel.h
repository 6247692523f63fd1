#pragma once

#include <QAbstractTableModel>

#include <vector>

class TDBGrid;

// The rows and visible columns of a data-aware grid as a Qt table. Texts, colours and check
// pictures come from the grid (display formats, the screen's cell-style callback); the
// dataset's cursor never moves for drawing.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Extra role: the check picture of a cell (an int of TCheckPicture).
    static constexpr int PictureRole = Qt::UserRole + 1;
    // Extra role: whether the cell holds the in-place editor.
    static constexpr int EditingRole = Qt::UserRole + 2;
    // Extra role: the editor's caret and selection, as QPoint(start, length) in characters.
    static constexpr int EditorSelectionRole = Qt::UserRole + 3;

    explicit GridModel(TDBGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Every asked role of a cell from one call of the grid's cell style.
    void multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The grid's column shown at a model column, and back (-1 when hidden or unknown).
    int gridColumn(int modelColumn) const;
    int modelColumn(int gridColumn) const;

    // The rows or values changed: keeps the view's position when the row count holds.
    void refreshData();
    // The columns changed (fields, titles, visibility).
    void refreshColumns();
    // The current row or the selected column moved, or the editor's text changed: only the
    // rows that were and are current change look.
    void refreshSelection();

private:
    void rowsChanged(int first, int last, const QList<int>& roles);
    QVariant alignment(int gridColumn) const;

    TDBGrid& m_grid;
    std::vector<int> m_columns;
    int m_rows = 0;
    int m_currentRow = -1;
};
