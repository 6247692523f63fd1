#include "qt/GridModel.h"

#include "qt/ColorMapping.h"
#include "qt/QtText.h"
#include "services/data/TField.h"
#include "services/ui/TDBGrid.h"

#include <QFont>
#include <QPoint>

GridModel::GridModel(TDBGrid& grid, QObject* parent) : QAbstractTableModel(parent), m_grid(grid) {
    refreshColumns();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

int GridModel::gridColumn(int modelColumn) const {
    return modelColumn >= 0 && modelColumn < static_cast<int>(m_columns.size())
               ? m_columns[modelColumn]
               : -1;
}

int GridModel::modelColumn(int gridColumn) const {
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i] == gridColumn) return static_cast<int>(i);
    return -1;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows) return {};
    const int column = gridColumn(index.column());
    if (column < 0) return {};
    switch (role) {
    case Qt::DisplayRole: {
        const TCellStyle style = m_grid.CellStyle(index.row(), column);
        if (style.picture != TCheckPicture::None) return {};
        return toQt(m_grid.CellText(index.row(), column));
    }
    case Qt::TextAlignmentRole: {
        TField* field = m_grid.Column(column)->Field();
        if (!field) return {};
        const bool numeric =
            field->DataType() == FieldType::Float || field->DataType() == FieldType::Integer;
        if (field->Alignment() == taRightJustify || (numeric && field->Alignment() != taCenter))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (field->Alignment() == taCenter) return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    case Qt::ForegroundRole:
        return ColorMapping::toQt(m_grid.CellStyle(index.row(), column).textColor);
    case Qt::BackgroundRole:
        return ColorMapping::toQt(m_grid.CellStyle(index.row(), column).background);
    case Qt::FontRole: {
        if (!m_grid.CellStyle(index.row(), column).bold) return {};
        QFont font;
        font.setBold(true);
        return font;
    }
    case PictureRole:
        return static_cast<int>(m_grid.CellStyle(index.row(), column).picture);
    case EditorSelectionRole:
        return QPoint(m_grid.EditorSelStart(), m_grid.EditorSelLength());
    case EditingRole:
        return m_grid.EditorMode() && index.row() == m_grid.CurrentRow() &&
               column == m_grid.SelectedIndex();
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section == m_grid.CurrentRow())
            return m_grid.EditorMode() ? QStringLiteral("I") : QStringLiteral("▶");
        return {};
    }
    const int column = gridColumn(section);
    if (column < 0) return {};
    TColumn* c = m_grid.Column(column);
    if (role == Qt::DisplayRole) {
        // The check columns' title is a tick drawn in a symbol font.
        if (c->TitleSymbolFont()) return QStringLiteral("✓");
        return toQt(c->TitleCaption());
    }
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    return {};
}

void GridModel::refreshData() {
    const int rows = m_grid.RowCount();
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    if (m_rows > 0 && !m_columns.empty())
        emit dataChanged(index(0, 0), index(m_rows - 1, static_cast<int>(m_columns.size()) - 1));
    refreshSelection();
}

void GridModel::refreshColumns() {
    beginResetModel();
    m_columns.clear();
    for (int i = 0; i < m_grid.ColumnCount(); ++i)
        if (m_grid.Column(i)->Visible()) m_columns.push_back(i);
    m_rows = m_grid.RowCount();
    endResetModel();
}

void GridModel::refreshSelection() {
    const int current = m_grid.CurrentRow();
    if (current != m_currentRow) {
        const int first = std::min(current, m_currentRow), last = std::max(current, m_currentRow);
        m_currentRow = current;
        if (first >= 0 || last >= 0)
            emit headerDataChanged(Qt::Vertical, std::max(first, 0), std::max(last, 0));
    } else if (current >= 0) {
        emit headerDataChanged(Qt::Vertical, current, current);
    }
    // The selected cell's colours and the editor come from the grid's styles: repaint.
    if (m_rows > 0 && !m_columns.empty())
        emit dataChanged(index(0, 0), index(m_rows - 1, static_cast<int>(m_columns.size()) - 1),
                         {Qt::BackgroundRole, Qt::ForegroundRole, Qt::DisplayRole});
}
