#include "server/methods/BudgetLines.h"
#include "services/data/BlankTrim.h"

#include "server/rpc/RpcError.h"
#include "server/store/Database.h"
#include "server/store/InList.h"
#include "server/store/Schema.h"

#include <cctype>

namespace srv {

namespace {

bool closed(const std::string& s) {
    return s == "E" || s == "A";
}

} // namespace

double BudgetLine::value(int month) const {
    const Variant& v = months[static_cast<std::size_t>(month - 1)];
    return v.isNull() ? 0.0 : v.toDouble();
}

bool BudgetLine::open() const {
    return !closed(status) && !closed(state);
}

BudgetLines::BudgetLines(Database& db, const std::string& year, int version,
                         const std::vector<std::string>& branches, const std::string& types) {
    if (branches.empty()) return;
    std::string sql = "SELECT CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA, CDDESPADMFAT, CDDESPPREV, "
                      "IDSTATUSORCA, IDITEMORCAMENTO";
    for (int m = 1; m <= 12; ++m)
        sql += ", " + monthColumn("VRORCAMENTO", m);
    std::vector<Variant> params{Variant(year), Variant(version)};
    sql += " FROM ITEMORCAMENTO WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL" +
           inList(branches, params);
    if (!types.empty()) sql += " AND IDTIPOORCAOP" + inList(types, params, letter);
    QueryResult r = db.query(sql + " ORDER BY CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA", params);
    m_lines.reserve(r.size());
    for (auto& row : r.rows) {
        BudgetLine line{textTrimmedRight(row[0]), textTrimmedRight(row[1]),
                        textTrimmedRight(row[2]), textTrimmedRight(row[3]),
                        textTrimmedRight(row[4]), textTrimmedRight(row[5]),
                        textTrimmedRight(row[6]), {}};
        for (std::size_t m = 0; m < 12; ++m)
            line.months[m] = std::move(row[7 + m]);
        m_lines.push_back(std::move(line));
    }
}

CodeList BudgetLines::branchList(const std::string& text) {
    std::string list = text;
    if (list.size() > 1 && list.front() == '_' && list.back() != '_') list += '_';
    return CodeList::parse(list, "filiais");
}

std::array<bool, 12> BudgetLines::period(const std::string& month) {
    std::array<bool, 12> in{};
    if (month.empty() || month == "T") {
        in.fill(true);
        return in;
    }
    bool digits = month.size() <= 2;
    for (char c : month)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    const int m = digits ? std::stoi(month) : 0;
    if (m < 1 || m > 12)
        throw RpcError("Mês inválido: \"" + month + "\" (\"T\" ou 1 a 12).", RpcError::BadRequest);
    in[static_cast<std::size_t>(m - 1)] = true;
    return in;
}

} // namespace srv
