#pragma once

#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"

#include <string>
#include <vector>

// Edits of the fixture's budget 2026/2 made straight in the database, to set a test's scene.
class FixtureBudget {
public:
    // Every month of a branch's lines of one type set to `value`.
    static void setMonths(srv::Store& store, const std::string& branch, const std::string& type,
                          double value) {
        std::string sql = "UPDATE ITEMORCAMENTO SET ";
        std::vector<Variant> params;
        for (int m = 1; m <= 12; ++m) {
            sql += (m == 1 ? "" : ", ") + srv::monthColumn("VRORCAMENTO", m) + " = ?";
            params.emplace_back(value);
        }
        params.insert(params.end(), {Variant(branch), Variant(type)});
        exec(store, sql + kWhere, params);
    }

    // One month of a branch's lines of a type: `value` on the first line, 0 on the others.
    static void setMonth(srv::Store& store, const std::string& branch, const std::string& type,
                         int month, double value) {
        const std::string column = srv::monthColumn("VRORCAMENTO", month);
        const std::string where = kWhere;
        exec(store, "UPDATE ITEMORCAMENTO SET " + column + " = 0" + where, {branch, type});
        exec(store,
             "UPDATE ITEMORCAMENTO SET " + column + " = ?" + where +
                 " AND NRSEQITEMORCA = (SELECT MIN(NRSEQITEMORCA) FROM ITEMORCAMENTO" + where + ")",
             {value, branch, type, branch, type});
    }

    // Copies of the lines of 2026/2 that satisfy `condition` (an SQL condition on their
    // columns), under the sequence `sequence`.
    static void copyLines(srv::Store& store, const std::string& condition,
                          const std::string& sequence) {
        std::string columns = "NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, IDENTRSAIDOP, "
                              "CDTIPOOPER, CDDESPADMFAT, CDDESPPREV, CDIMPOSTO, DTORCAMENTOITEM, "
                              "DTMESBASEITEM, IDSTATUSORCA, IDITEMORCAMENTO, IDITEMCALCORCA, "
                              "IDALTERADO";
        for (int m = 1; m <= 12; ++m)
            columns += ", " + srv::monthColumn("VRORCAMENTO", m);
        exec(store,
             "INSERT INTO ITEMORCAMENTO (NRSEQITEMORCA, " + columns + ") SELECT ?, " + columns +
                 " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND " +
                 condition,
             {Variant(sequence)});
    }

private:
    static constexpr const char* kWhere =
        " WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND CDFILIAL = ? AND IDTIPOORCAOP = ?";

    static void exec(srv::Store& store, const std::string& sql,
                     const std::vector<Variant>& params) {
        store.transaction([&](srv::Database& db) { return db.execute(sql, params); });
    }
};
