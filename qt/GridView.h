#pragma once

#include "qt/ControlView.h"

class GridModel;
class QTableView;
class TDBGrid;

// The data-aware grid: a table over the grid's rows. Clicks on cells and titles and double
// clicks reach the grid; keys go through the form, so typing lands in the grid's editor text.
class GridView : public ControlView {
public:
    GridView(FormView& form, TDBGrid& grid);
    ~GridView() override;
    void sync(Property property) override;
    QTableView* table() const { return m_table; }
    GridModel* model() const { return m_model; }

private:
    void applyColumnWidths();
    void showCurrent();
    void applyOptions();

    TDBGrid& m_grid;
    QTableView* m_table;
    GridModel* m_model;
};
