#include "qt/GridView.h"

#include "qt/FormView.h"
#include "qt/GridDelegate.h"
#include "qt/GridModel.h"
#include "services/data/TField.h"
#include "services/ui/TDBGrid.h"

#include <QHeaderView>
#include <QTableView>

GridView::GridView(FormView& form, TDBGrid& grid) : ControlView(form, grid), m_grid(grid) {
    m_table = new QTableView;
    m_model = new GridModel(grid, m_table);
    m_table->setModel(m_model);
    m_table->setItemDelegate(new GridDelegate(m_table));
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setFocusPolicy(Qt::StrongFocus);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setFixedWidth(14);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->horizontalHeader()->setSectionsClickable(true);
    m_table->horizontalHeader()->setMinimumSectionSize(16);

    TDBGrid* target = &grid;
    GridModel* model = m_model;
    QObject::connect(
        m_table, &QTableView::pressed, context(), [this, target, model](const QModelIndex& index) {
            const int column = model->gridColumn(index.column());
            if (column >= 0)
                dispatch([target, index, column] { target->ClickCell(index.row(), column); });
        });
    QObject::connect(m_table, &QTableView::doubleClicked, context(),
                     [this, target](const QModelIndex&) {
                         // The press before it already moved to the cell and ran the cell click.
                         if (target->EffectivelyEnabled())
                             dispatch([target] { target->DblClick(); });
                     });
    QObject::connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, context(),
                     [this, target, model](int section) {
                         const int column = model->gridColumn(section);
                         if (column >= 0)
                             dispatch([target, column] { target->ClickTitle(column); });
                     });
    setWidget(m_table);
    form.registerWidget(m_table->viewport(), this);
    applyColumnWidths();
    applyOptions();
}

GridView::~GridView() {
    // The table lives until its deferred deletion; it must not read the grid meanwhile.
    if (widget()) m_table->setModel(nullptr);
}

void GridView::applyColumnWidths() {
    const QFontMetrics fm(m_table->font());
    // Month values must fit the largest amount the budget holds.
    const int amount = fm.horizontalAdvance(QStringLiteral("999.999.999,99")) + 12;
    const QFontMetrics titleFm(m_table->horizontalHeader()->font());
    for (int i = 0; i < m_model->columnCount(); ++i) {
        TColumn* column = m_grid.Column(m_model->gridColumn(i));
        int width = column->Width();
        TField* field = column->Field();
        if (field && field->DataType() == FieldType::Float) width = std::max(width, amount);
        if (!column->TitleSymbolFont())
            width = std::max(
                width, titleFm.horizontalAdvance(
                           m_model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString()) +
                           14);
        m_table->setColumnWidth(i, width);
    }
}

void GridView::applyOptions() {
    m_table->horizontalHeader()->setVisible(m_grid.HasOption(dgTitles));
    m_table->verticalHeader()->setVisible(m_grid.HasOption(dgIndicator));
    m_table->setShowGrid(m_grid.HasOption(dgColLines) || m_grid.HasOption(dgRowLines));
}

void GridView::showCurrent() {
    const int row = m_grid.CurrentRow();
    const int column = m_model->modelColumn(m_grid.SelectedIndex());
    if (row >= 0 && column >= 0) m_table->scrollTo(m_model->index(row, column));
}

void GridView::sync(Property property) {
    switch (property) {
    case Property::Data:
        m_model->refreshData();
        showCurrent();
        break;
    case Property::Columns:
        m_model->refreshColumns();
        applyColumnWidths();
        showCurrent();
        break;
    case Property::Selection:
    case Property::EditorText:
        m_model->refreshSelection();
        showCurrent();
        break;
    case Property::Options:
        applyOptions();
        break;
    default:
        ControlView::sync(property);
    }
}
