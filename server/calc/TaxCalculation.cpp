#include "server/calc/TaxCalculation.h"

#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"
#include "server/store/Database.h"

#include <cassert>

namespace srv {

TaxCalculation::TaxCalculation(Database& db, CalcGuard& guard, std::string year, int version,
                               char kind)
    : m_db(db), m_guard(guard), m_lines(db, year, version), m_year(std::move(year)),
      m_taxType(kind == 'F' ? "I" : "R"), m_baseType(1, kind) {
    assert(kind == 'F' || kind == 'C');
}

TaxCalculation::Outcome TaxCalculation::run(const std::vector<std::string>& branches) {
    Outcome outcome;
    for (const std::string& code : branches) {
        if (!m_guard.branchWritable(code) || !branch(code, outcome)) outcome.failed.push_back(code);
    }
    return outcome;
}

bool TaxCalculation::branch(const std::string& code, Outcome& outcome) {
    const QueryResult taxes =
        m_db.query("SELECT f.CDIMPOSTO, f.VRPERCALIQUOTA FROM IMPOSTOFILIAL f JOIN IMPOSTO i ON "
                   "i.CDIMPOSTO = f.CDIMPOSTO WHERE f.NRANOORCAOP = ? AND f.CDFILIAL = ? AND "
                   "i.IDTIPOORCAOP = ? ORDER BY f.CDIMPOSTO",
                   {Variant(m_year), Variant(code), Variant(m_taxType)});
    if (taxes.empty()) return false;
    const std::array<double, 12> base = m_lines.monthTotals(code, m_baseType);
    const std::vector<ItemLine> lines = m_lines.lines(code, m_taxType);
    const CalcPeriod whole = CalcPeriod::whole(std::stoi(m_year), m_guard.firstMonth());
    for (const auto& row : taxes.rows) {
        const std::string tax = row[0].toText();
        const double rate = row[1].toDouble() / 100.0;
        std::array<double, 12> value{};
        for (std::size_t m = 0; m < 12; ++m)
            value[m] = base[m] * rate;
        bool found = false;
        for (const ItemLine& l : lines) {
            if (l.itemCode != tax) continue;
            found = true;
            // Effected or approved lines keep their values.
            if (l.open() && m_lines.write(code, m_taxType, l.seq, value, whole, m_guard))
                ++outcome.written;
        }
        if (!found) {
            const std::string seq = m_lines.create(code, m_taxType, "CDIMPOSTO", tax);
            m_lines.write(code, m_taxType, seq, value, whole, m_guard);
            ++outcome.written;
        }
    }
    return true;
}

} // namespace srv
