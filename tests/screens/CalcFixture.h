#pragma once

#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10390.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TSpeedButton.h"

#include <string>
#include <vector>

// The main screen on the shared fixture, with the server's stored budget at hand: the master
// data a test needs is written straight into the database before the budget is loaded.
class CalcFixture : public EntryFixture {
protected:
    void sql(const std::string& statement, const std::vector<Variant>& params = {}) {
        startServer().store().transaction(
            [&](srv::Database& db) { db.execute(statement, params); });
    }

    // "0001=S 0002=N" of a column of the stored lines of one type, version 2026/2.
    std::string stored(const std::string& type, const std::string& field) {
        return startServer().store().read([&](srv::Database& db) {
            const auto r = db.query("SELECT CDFILIAL, " + field +
                                        " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND "
                                        "CDVERSORCAOP = 2 AND IDTIPOORCAOP = ? ORDER BY CDFILIAL, "
                                        "NRSEQITEMORCA",
                                    {Variant(type)});
            std::string out;
            for (const auto& row : r.rows)
                out += (out.empty() ? "" : " ") + row[0].toText() + "=" +
                       (row[1].isNull() ? "(null)" : row[1].toText());
            return out;
        });
    }

    // A month of a branch's first stored line of one type.
    double storedMonth(const std::string& branch, const std::string& type,
                       const std::string& month) {
        return startServer().store().read([&](srv::Database& db) {
            return db
                .query("SELECT VRORCAMENTO" + month +
                           " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 "
                           "AND CDFILIAL = ? AND IDTIPOORCAOP = ? ORDER BY NRSEQITEMORCA",
                       {Variant(branch), Variant(type)})
                .scalar()
                .toDouble();
        });
    }

    // A branch that calculates billing by headcount and consumption by menu ("N").
    void calculaPorMesBase(const std::string& branch) {
        sql("UPDATE FILIAL SET IDCALCOMESTORC = 'N' WHERE CDFILIAL = ?", {Variant(branch)});
    }

    void baseMonth(const std::string& branch, const std::string& type, const Variant& month) {
        sql("UPDATE ITEMORCAMENTO SET DTMESBASEITEM = ? WHERE NRANOORCAOP = '2026' AND "
            "CDVERSORCAOP = 2 AND CDFILIAL = ? AND IDTIPOORCAOP = ?",
            {month, Variant(branch), Variant(type)});
    }

    // One month of every stored line of a branch and type emptied.
    void emptyMonth(const std::string& branch, const std::string& type, const std::string& month) {
        sql("UPDATE ITEMORCAMENTO SET VRORCAMENTO" + month +
                " = NULL WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND CDFILIAL = ? AND "
                "IDTIPOORCAOP = ?",
            {Variant(branch), Variant(type)});
    }

    // The next period dialog is confirmed with the complete period, or cancelled.
    void periodWhenAsked(bool confirm = true) {
        platform.onModal("TfrmPerCalc", [confirm](TForm& dialog) {
            auto& d = static_cast<TfrmPerCalc&>(dialog);
            if (confirm)
                d.sbtConfirma->Click();
            else
                d.sbtCancel->Click();
        });
    }

    // The operator ticks the branch's check box on a billing or consumption grid.
    void select(TDBGrid* grid, const std::string& branch) {
        clickCell(grid, branch, grid == form->dbgItOrcFatur ? "IDCHECKF" : "IDCHECKC");
    }

    void click(TControl* control) {
        event([&] { control->Click(); });
    }
};
