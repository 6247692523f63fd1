#include "server/calc/MonthBaseCalculation.h"

#include "server/rpc/RpcError.h"
#include "server/store/Database.h"
#include "server/store/DayNumber.h"
#include "server/store/Schema.h"
#include "services/data/BlankTrim.h"
#include "services/data/DecimalRounding.h"

#include <cassert>

namespace srv {

namespace {

std::string monthList(const std::string& prefix) {
    std::string s;
    for (int m = 1; m <= 12; ++m)
        s += ", " + monthColumn(prefix, m);
    return s;
}

double numberOr0(const Variant& v) {
    return v.isNull() ? 0.0 : v.toDouble();
}

} // namespace

MonthBaseCalculation::MonthBaseCalculation(Database& db, CalcGuard& guard, std::string year,
                                           int version, char kind, const CalcPeriod& period,
                                           LineKeys requested)
    : m_db(db), m_guard(guard), m_year(std::move(year)), m_version(version), m_kind(1, kind),
      m_period(period), m_requested(std::move(requested)) {
    assert(kind == 'F' || kind == 'C');
}

std::vector<MonthBaseCalculation::Service>
MonthBaseCalculation::services(const std::string& branch) {
    const QueryResult r = m_db.query(
        "SELECT CDSERVFILI, VRPRECOBASE, VRCUSTO" + monthList("VRPERCORRCOM") +
            monthList("VRREAJORC") +
            " FROM SERVFILIAL WHERE NRANOORCAOP = ? AND CDFILIAL = ? AND IDTIPOORCAOP = ? "
            "ORDER BY CDSERVFILI",
        {Variant(m_year), Variant(branch), Variant(m_kind)});
    std::vector<Service> out;
    for (const auto& row : r.rows) {
        Service s;
        s.code = textTrimmedRight(row[0]);
        s.price = numberOr0(m_kind == "F" ? row[1] : row[2]);
        for (std::size_t m = 0; m < 12; ++m) {
            s.correction[m] = numberOr0(row[3 + m]);
            s.adjustment[m] = numberOr0(row[15 + m]);
        }
        out.push_back(std::move(s));
    }
    return out;
}

std::map<std::string, std::array<Variant, 12>>
MonthBaseCalculation::actual(const std::string& branch, int year) {
    const QueryResult r =
        m_db.query("SELECT CDSERVFILI" + monthList("QTREALIZADO") +
                       " FROM SERVREALIZADO WHERE NRANOORCAOP = ? AND "
                       "CDFILIAL = ? AND IDTIPOORCAOP = ?",
                   {Variant(std::to_string(year)), Variant(branch), Variant(m_kind)});
    std::map<std::string, std::array<Variant, 12>> out;
    for (const auto& row : r.rows) {
        std::array<Variant, 12>& months = out[textTrimmedRight(row[0])];
        for (std::size_t m = 0; m < 12; ++m)
            months[m] = row[1 + m];
    }
    return out;
}

std::array<double, 12> MonthBaseCalculation::workingDays(const std::string& branch, int year) {
    const QueryResult r = m_db.query("SELECT CDFILIAL" + monthList("NDIAUTIL") +
                                         " FROM DIAUTILFILIAL WHERE NRANOORCAOP = ? AND "
                                         "CDFILIAL = ?",
                                     {Variant(std::to_string(year)), Variant(branch)});
    std::array<double, 12> out{};
    if (!r.empty())
        for (std::size_t m = 0; m < 12; ++m)
            out[m] = numberOr0(r.rows[0][1 + m]);
    return out;
}

bool MonthBaseCalculation::previousYearMode(const std::string& branch) {
    if (m_kind != "C") return false;
    const QueryResult r = m_db.query(
        "SELECT IDFATUROP, IDDETALHEFATUR FROM PARDROFILIAL WHERE CDFILIAL = ?", {Variant(branch)});
    return !r.empty() &&
           (textTrimmedRight(r.rows[0][0]) == "FS" || textTrimmedRight(r.rows[0][1]) == "N");
}

bool MonthBaseCalculation::quantities(const Line& line, const std::vector<Service>& services,
                                      std::map<std::string, std::array<double, 12>>& out) {
    const bool noBase = line.baseMonth.isNull() || line.baseMonth.toDouble() < 1.0;
    if (noBase) {
        if (!previousYearMode(line.branch)) return false;
        // No base month: each month takes the diners of the same month a year earlier.
        std::map<int, std::map<std::string, std::array<Variant, 12>>> byYear;
        for (const Service& s : services)
            for (int m = 1; m <= 12; ++m) {
                if (!m_period.includes(m)) continue;
                const int y = m_period.calendarYear(m) - 1;
                if (!byYear.count(y)) byYear[y] = actual(line.branch, y);
                const auto it = byYear[y].find(s.code);
                const double diners =
                    it == byYear[y].end() ? 0.0 : numberOr0(it->second[std::size_t(m - 1)]);
                out[s.code][std::size_t(m - 1)] = roundMoney(diners);
            }
        return true;
    }
    int by = 0, bm = 0, bd = 0;
    DayNumber::toCivil(line.baseMonth.toDouble(), by, bm, bd);
    const double baseDays = workingDays(line.branch, by)[std::size_t(bm - 1)];
    const auto figures = actual(line.branch, by);
    bool anyFigure = false;
    for (const auto& [code, months] : figures)
        anyFigure = anyFigure || !months[std::size_t(bm - 1)].isNull();
    // Without working days the daily figure has no meaning: as if there were no figures.
    if (!anyFigure || baseDays <= 0) return false;

    std::map<int, std::array<double, 12>> days;
    for (const Service& s : services) {
        const auto it = figures.find(s.code);
        const double base = it == figures.end() ? 0.0 : numberOr0(it->second[std::size_t(bm - 1)]);
        const double daily = base / baseDays;
        for (int m = 1; m <= 12; ++m) {
            if (!m_period.includes(m)) continue;
            const int y = m_period.calendarYear(m);
            if (!days.count(y)) days[y] = workingDays(line.branch, y);
            out[s.code][std::size_t(m - 1)] = roundMoney(daily * days[y][std::size_t(m - 1)]);
        }
    }
    return true;
}

void MonthBaseCalculation::writeService(const std::string& branch, const std::string& service,
                                        const std::array<double, 12>& quantity,
                                        const std::array<double, 12>& value) {
    const std::vector<Variant> key = {Variant(m_year), Variant(m_version), Variant(branch),
                                      Variant(m_kind), Variant(service)};
    const char* where = " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ? AND "
                        "IDTIPOORCAOP = ? AND CDSERVFILI = ?";
    if (m_db.query(std::string("SELECT 1 FROM ITEMSERVORCA") + where, key).empty())
        m_db.execute("INSERT INTO ITEMSERVORCA (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
                     "IDTIPOORCAOP, CDSERVFILI) VALUES (?, ?, ?, ?, ?)",
                     key);
    std::string sql = "UPDATE ITEMSERVORCA SET ";
    std::vector<Variant> params;
    for (int m = 1; m <= 12; ++m) {
        if (!m_period.includes(m) || !m_guard.monthOpen(m)) continue;
        if (!params.empty()) sql += ", ";
        sql += monthColumn("QTORCAMENTO", m) + " = ?, " + monthColumn("VRORCAMENTO", m) + " = ?";
        params.emplace_back(quantity[std::size_t(m - 1)]);
        params.emplace_back(value[std::size_t(m - 1)]);
    }
    if (params.empty()) return;
    params.insert(params.end(), key.begin(), key.end());
    m_db.execute(sql + where, params);
}

void MonthBaseCalculation::writeLine(const Line& line, const std::array<double, 12>& value) {
    std::string sql = "UPDATE ITEMORCAMENTO SET IDITEMCALCORCA = 'S'";
    std::vector<Variant> params;
    for (int m = 1; m <= 12; ++m) {
        if (!m_period.includes(m) || !m_guard.monthOpen(m)) continue;
        sql += ", " + monthColumn("VRORCAMENTO", m) + " = ?";
        params.emplace_back(value[std::size_t(m - 1)]);
    }
    sql += " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ? AND IDTIPOORCAOP = ? "
           "AND NRSEQITEMORCA = ?";
    params.insert(params.end(), {Variant(m_year), Variant(m_version), Variant(line.branch),
                                 Variant(m_kind), Variant(line.seq)});
    m_db.execute(sql, params);
}

int MonthBaseCalculation::run() {
    const QueryResult marked = m_db.query(
        "SELECT CDFILIAL, NRSEQITEMORCA, DTMESBASEITEM, IDSTATUSORCA, IDITEMORCAMENTO FROM "
        "ITEMORCAMENTO WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND IDTIPOORCAOP = "
        "? AND IDITEMCALCORCA = 'P' ORDER BY CDFILIAL, NRSEQITEMORCA",
        {Variant(m_year), Variant(m_version), Variant(m_kind)});
    std::vector<std::string> missing;
    int calculated = 0;
    for (const auto& row : marked.rows) {
        const Line line{textTrimmedRight(row[0]), textTrimmedRight(row[1]), row[2]};
        if (!m_requested.contains({line.branch, line.seq})) continue;
        m_guard.requireBranch(line.branch);
        if (!CalcGuard::openStatus(row[3]) || !CalcGuard::openStatus(row[4]))
            throw RpcError("O item " + line.seq + " da filial " + line.branch +
                           " está efetivado ou aprovado e não pode ser calculado.");
        const std::vector<Service> list = services(line.branch);
        std::map<std::string, std::array<double, 12>> quantity;
        if (!quantities(line, list, quantity)) {
            if (missing.empty() || missing.back() != line.branch) missing.push_back(line.branch);
            continue;
        }
        std::array<double, 12> total{};
        for (const Service& s : list) {
            std::array<double, 12> value{};
            for (int m = 1; m <= 12; ++m) {
                const std::size_t i = std::size_t(m - 1);
                const double q = quantity[s.code][i];
                value[i] = m_kind == "F"
                               ? roundMoney(q * s.price * (1.0 + s.correction[i] / 100.0) +
                                            s.adjustment[i])
                               : roundMoney(q * s.price);
                total[i] = roundMoney(total[i] + value[i]);
            }
            writeService(line.branch, s.code, quantity[s.code], value);
        }
        writeLine(line, total);
        ++calculated;
    }
    if (!missing.empty()) {
        std::string names;
        for (const std::string& b : missing)
            names += (names.empty() ? "" : ", ") + b;
        throw RpcError(std::string("Não há valores realizados no mês base para o cálculo do ") +
                       (m_kind == "F" ? "faturamento" : "consumo") + " das filiais: " + names +
                       ".");
    }
    return calculated;
}

} // namespace srv
