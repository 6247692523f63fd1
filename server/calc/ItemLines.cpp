#include "server/calc/ItemLines.h"

#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "services/data/BlankTrim.h"
#include "services/data/DecimalRounding.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>

namespace srv {

namespace {

std::string monthList() {
    std::string s;
    for (int m = 1; m <= 12; ++m)
        s += ", " + monthColumn("VRORCAMENTO", m);
    return s;
}

// The code column each type letter keeps its code in.
const char* codeColumnOf(const std::string& type) {
    if (type == "I" || type == "R" || type == "S") return "CDIMPOSTO";
    if (type == "O") return "CDDESPADMFAT";
    return "CDDESPPREV";
}

} // namespace

ItemLines::ItemLines(Database& db, std::string year, int version)
    : m_db(db), m_year(std::move(year)), m_version(version) {}

std::vector<ItemLine> ItemLines::lines(const std::string& branch, const std::string& type) {
    const QueryResult r = m_db.query(
        std::string("SELECT NRSEQITEMORCA, IDSTATUSORCA, ") + codeColumnOf(type) + monthList() +
            ", IDITEMORCAMENTO FROM ITEMORCAMENTO WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND "
            "CDFILIAL = ? AND IDTIPOORCAOP = ? ORDER BY NRSEQITEMORCA",
        {Variant(m_year), Variant(m_version), Variant(branch), Variant(type)});
    std::vector<ItemLine> out;
    for (const auto& row : r.rows) {
        ItemLine l{textTrimmedRight(row[0]),
                   textTrimmedRight(row[1]),
                   textTrimmedRight(row[2]),
                   {},
                   textTrimmedRight(row[15])};
        for (std::size_t m = 0; m < 12; ++m)
            l.months[m] = row[3 + m].isNull() ? 0.0 : row[3 + m].toDouble();
        out.push_back(std::move(l));
    }
    return out;
}

std::array<double, 12> ItemLines::monthTotals(const std::string& branch, const std::string& type) {
    std::array<double, 12> total{};
    for (const ItemLine& l : lines(branch, type))
        for (std::size_t m = 0; m < 12; ++m)
            total[m] += l.months[m];
    return total;
}

bool ItemLines::write(const std::string& branch, const std::string& type, const std::string& seq,
                      const std::array<double, 12>& values, const CalcPeriod& period,
                      const CalcGuard& guard) {
    std::string sql = "UPDATE ITEMORCAMENTO SET ";
    std::vector<Variant> params;
    for (int m = 1; m <= 12; ++m) {
        if (!period.includes(m) || !guard.monthOpen(m)) continue;
        if (!params.empty()) sql += ", ";
        sql += monthColumn("VRORCAMENTO", m) + " = ?";
        params.emplace_back(roundMoney(values[std::size_t(m - 1)]));
    }
    if (params.empty()) return false;
    sql += " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ? AND IDTIPOORCAOP = ? AND "
           "NRSEQITEMORCA = ?";
    params.insert(params.end(), {Variant(m_year), Variant(m_version), Variant(branch),
                                 Variant(type), Variant(seq)});
    return m_db.execute(sql, params) > 0;
}

std::string ItemLines::create(const std::string& branch, const std::string& type,
                              const std::string& codeColumn, const std::string& code) {
    assert(codeColumn == "CDIMPOSTO" || codeColumn == "CDDESPADMFAT");
    // Sequences are numbered per branch across every type letter.
    const Variant last = m_db.query("SELECT MAX(NRSEQITEMORCA) FROM ITEMORCAMENTO WHERE "
                                    "NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ?",
                                    {Variant(m_year), Variant(m_version), Variant(branch)})
                             .scalar();
    long next = 1;
    if (!last.isNull()) next = std::strtol(textTrimmedRight(last).c_str(), nullptr, 10) + 1;
    char seq[24];
    std::snprintf(seq, sizeof seq, "%010ld", next);
    std::string sql = "INSERT INTO ITEMORCAMENTO (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
                      "IDTIPOORCAOP, NRSEQITEMORCA, IDENTRSAIDOP, IDSTATUSORCA, IDITEMORCAMENTO, "
                      "IDITEMCALCORCA, " +
                      codeColumn + monthList() + ") VALUES (?, ?, ?, ?, ?, 'S', 'P', 'P', 'S', ?";
    for (int m = 1; m <= 12; ++m)
        sql += ", 0";
    m_db.execute(sql + ")", {Variant(m_year), Variant(m_version), Variant(branch), Variant(type),
                             Variant(std::string(seq)), Variant(code)});
    return seq;
}

} // namespace srv
