#pragma once

#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "services/data/NumberFormat.h"
#include "services/data/TClientDataSet.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TTabSheet.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/Cli_fyn10380.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

// The main screen with the fixture's budget 2026/2 loaded, and the operator's gestures on its
// value grids.
class EntryFixture : public ScreenFixture {
protected:
    TfrmCalcOrcaOper& loaded(const std::string& op = "teste", int version = 2) {
        loginAs(op);
        TfrmCalcOrcaOper& screen = openScreen();
        confirmFilterWhenAsked();
        loadBudget(2026, version);
        EXPECT_EQ(messages(), "");
        platform.clearMessages();
        return screen;
    }

    // The latest version of 2026 made to run from April 2026 to March 2027.
    void versionFromApril() {
        startServer().store().transaction([](srv::Database& db) {
            return db.execute("UPDATE VERSAOORCA SET NRMESINIVERORC = 4, DATAINI = ?, DATAFIN = ? "
                              "WHERE CDANOVERORCA = '2026' AND CDVERSAOORCA = 2",
                              {Variant(EncodeDate(2026, 4, 1)), Variant(EncodeDate(2027, 4, 1))});
        });
    }

    // Opens the result simulation as its button does, runs `steps` on it and leaves it by its
    // cancel button.
    void simulate(const std::function<void(TfrmSimulaResult&)>& steps) {
        platform.onModal("TfrmSimulaResult", [this, steps](TForm& f) {
            auto& s = static_cast<TfrmSimulaResult&>(f);
            steps(s);
            event([&] { s.sbtCancel->Click(); });
        });
        ASSERT_TRUE(form->sbtSimulaRes->Enabled());
        event([&] { form->sbtSimulaRes->Click(); });
    }

    // One month alone on the result screen: the whole-year box unchecked, `month` ("03/2026")
    // typed, and the header left so that it reloads.
    void chooseMonth(TfrmSimulaResult& s, const std::string& month) {
        event([&] { s.chkPeriodo->SetFocus(); });
        event([&] { s.chkPeriodo->Click(); });
        event([&] { s.speAno1->SetFocus(); });
        event([&] { s.speAno1->SetText(month); });
        event([&] { s.sbtCancel->SetFocus(); });
    }

    // A line's reduction button clicked, its percentage dialog answered with `percent`.
    void reduceLine(TButtonFlat* button, const std::string& percent) {
        platform.onModal("TfrmReduConsFat", [this, percent](TForm& f) {
            auto& d = static_cast<TfrmReduConsFat&>(f);
            event([&] { d.edtValor->SetText(percent); });
            event([&] { d.sbtConfirma->Click(); });
        });
        event([&] { button->Click(); });
    }

    // A month value summed over the main screen's rows of some branches and a type letter.
    static double budgetMonth(const TClientDataSet& ds, const std::set<std::string>& branches,
                              char type, int month) {
        const DataPacket p = ds.Data();
        double sum = 0;
        for (std::size_t r = 0; r < p.rows.size(); ++r) {
            if (!branches.count(p.value(r, "CDFILIAL").toText()) ||
                p.value(r, "IDTIPOORCAOP").toText() != std::string(1, type))
                continue;
            const Variant& v = p.value(r, srv::monthColumn("VRORCAMENTO", month));
            if (!v.isNull()) sum += v.toDouble();
        }
        return sum;
    }

    // The visible rows of a dataset as shown, fields joined by "|", one row a line.
    static std::string shown(TClientDataSet& ds, const std::vector<std::string>& fields) {
        std::string out;
        for (int row = 0; row < ds.RecordCount(); ++row) {
            for (std::size_t f = 0; f < fields.size(); ++f)
                out += (f ? "|" : "") + ds.RowDisplayText(row, ds.FieldByName(fields[f]).Index());
            out += "\n";
        }
        return out;
    }

    // How many simulations the server has recorded.
    int savedSimulations() {
        return startServer()
            .store()
            .read([](srv::Database& db) { return db.query("SELECT COUNT(*) FROM SIMULACAO"); })
            .scalar()
            .toInt();
    }

    // Checks branches on a main-screen page, as double clicks on their check column do.
    void checkOnPage(TTabSheet* sheet, TDBGrid* list, const std::string& field,
                     const std::vector<std::string>& branches) {
        page(sheet);
        for (const std::string& b : branches) {
            event([&] { list->SetFocus(); });
            event([&] { list->DblClickCell(rowOf(list, b), columnOf(list, field)); });
        }
    }

    // Branches checked on the miscellaneous page: the simulation opens with their list.
    void checkOnMiscPage(const std::vector<std::string>& branches) {
        checkOnPage(form->tshDiversas, form->dbgFilialDiversas, "IDCHECKD", branches);
    }

    // Makes the page active as a click on its tab does.
    void page(TTabSheet* sheet) {
        event([&] { form->pgcOrcamento->SelectPage(sheet); });
    }

    // Visible row of a branch in the grid's dataset (-1 when absent).
    static int rowOf(TDBGrid* grid, const std::string& branch) {
        TClientDataSet& ds = *grid->DataSet();
        const int index = ds.FieldByName("CDFILIAL").Index();
        for (int row = 0; row < ds.RecordCount(); ++row)
            if (ds.RowValue(row, index).toText() == branch) return row;
        return -1;
    }

    static int columnOf(TDBGrid* grid, const std::string& field) {
        const TColumn* column = grid->ColumnByFieldName(field);
        return column ? column->Index() : -1;
    }

    // Focuses the grid and clicks the cell of the branch's row in the field's column.
    void clickCell(TDBGrid* grid, const std::string& branch, const std::string& field) {
        event([&] { grid->SetFocus(); });
        const int row = rowOf(grid, branch);
        const int column = columnOf(grid, field);
        ASSERT_GE(row, 0) << branch;
        ASSERT_GE(column, 0) << field;
        event([&] { grid->ClickCell(row, column); });
    }

    void press(TKeyCode key, TShiftState shift = 0) {
        event([&] { form->PressKey(key, shift); });
    }

    // A field of the branch's row of a dataset, as text ("(null)" for null).
    static std::string valueOf(TClientDataSet& ds, const std::string& branch,
                               const std::string& field) {
        const int key = ds.FieldByName("CDFILIAL").Index();
        const int index = ds.FieldByName(field).Index();
        for (int row = 0; row < ds.RecordCount(); ++row)
            if (ds.RowValue(row, key).toText() == branch) {
                const Variant& v = ds.RowValue(row, index);
                return v.isNull() ? "(null)" : v.toText();
            }
        return "(no row)";
    }

    // "branch=value" for every visible row: "0001=S 0002=N".
    static std::string column(TClientDataSet& ds, const std::string& field) {
        std::string out;
        const int key = ds.FieldByName("CDFILIAL").Index();
        const int index = ds.FieldByName(field).Index();
        for (int row = 0; row < ds.RecordCount(); ++row) {
            const Variant& v = ds.RowValue(row, index);
            out += (out.empty() ? "" : " ") + ds.RowValue(row, key).toText() + "=" +
                   (v.isNull() ? "(null)" : v.toText());
        }
        return out;
    }
};
