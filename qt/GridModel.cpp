#include "qt/GridModel.h"

#include "qt/ColorMapping.h"
#include "qt/QtText.h"
#include "services/data/TField.h"
#include "services/ui/TDBGrid.h"

#include <QFont>
#include <QPoint>

#include <optional>

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
    QModelRoleData roleData(role);
    multiData(index, roleData);
    return roleData.data();
}

void GridModel::multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const {
    for (QModelRoleData& roleData : roleDataSpan)
        roleData.clearData();
    if (!index.isValid() || index.row() >= m_rows) return;
    const int column = gridColumn(index.column());
    if (column < 0) return;
    std::optional<TCellStyle> cellStyle;
    auto style = [&]() -> const TCellStyle& {
        if (!cellStyle) cellStyle = m_grid.CellStyle(index.row(), column);
        return *cellStyle;
    };
    for (QModelRoleData& roleData : roleDataSpan) {
        switch (roleData.role()) {
        case Qt::DisplayRole:
            if (style().picture == TCheckPicture::None)
                roleData.setData(toQt(m_grid.CellText(index.row(), column)));
            break;
        case Qt::TextAlignmentRole:
            roleData.setData(alignment(column));
            break;
        case Qt::ForegroundRole:
            roleData.setData(ColorMapping::toQt(style().textColor));
            break;
        case Qt::BackgroundRole:
            roleData.setData(ColorMapping::toQt(style().background));
            break;
        case Qt::FontRole:
            if (style().bold) {
                QFont font;
                font.setBold(true);
                roleData.setData(font);
            }
            break;
        case PictureRole:
            roleData.setData(static_cast<int>(style().picture));
            break;
        case EditorSelectionRole:
            roleData.setData(QPoint(m_grid.EditorSelStart(), m_grid.EditorSelLength()));
            break;
        case EditingRole:
            roleData.setData(m_grid.EditorMode() && index.row() == m_grid.CurrentRow() &&
                             column == m_grid.SelectedIndex());
            break;
        default:
            break;
        }
    }
}

QVariant GridModel::alignment(int column) const {
    TField* field = m_grid.Column(column)->Field();
    if (!field) return {};
    // Number fields start right-aligned; one set to the left asked for it.
    if (field->Alignment() == taRightJustify) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (field->Alignment() == taCenter) return int(Qt::AlignCenter);
    return int(Qt::AlignLeft | Qt::AlignVCenter);
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
    // Any value may have changed.
    if (m_rows > 0) rowsChanged(0, m_rows - 1, {});
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
    const int previous = m_currentRow;
    m_currentRow = current;
    // The selected cell's colours and the editor come from the grid's styles.
    const QList<int> roles{Qt::BackgroundRole, Qt::ForegroundRole, Qt::DisplayRole, EditingRole,
                           EditorSelectionRole};
    if (previous != current && previous >= 0 && previous < m_rows) {
        emit headerDataChanged(Qt::Vertical, previous, previous);
        rowsChanged(previous, previous, roles);
    }
    if (current >= 0 && current < m_rows) {
        emit headerDataChanged(Qt::Vertical, current, current);
        rowsChanged(current, current, roles);
    }
}

void GridModel::rowsChanged(int first, int last, const QList<int>& roles) {
    if (m_columns.empty()) return;
    emit dataChanged(index(first, 0), index(last, static_cast<int>(m_columns.size()) - 1), roles);
}
