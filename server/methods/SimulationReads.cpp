// The reads of the result simulation: getFilial, RetornaTotImp, ValorTotal, ValidaFat and
// getSimulGeral. Each returns the stored budget of the branch list as the operator sees it.
#include "server/methods/BudgetAccess.h"
#include "server/methods/BudgetLines.h"
#include "server/methods/Methods.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/InList.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "services/data/BlankTrim.h"
#include "services/data/DataPacket.h"
#include "services/data/DecimalRounding.h"

#include <array>
#include <cctype>
#include <map>

namespace srv {

namespace {

using K = ParamKind;
using Months = std::array<double, 12>;

// The screen keeps one checked branch as "_0001", without the closing "_".
CodeList branchList(const std::string& text) {
    std::string list = text;
    if (list.size() > 1 && list.front() == '_' && list.back() != '_') list += '_';
    return CodeList::parse(list, "filiais");
}

int versionOf(const std::string& text) {
    bool digits = !text.empty() && text.size() <= 9;
    for (char c : text)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (!digits) throw RpcError("Versão inválida: \"" + text + "\".", RpcError::BadRequest);
    return std::stoi(text);
}

// One stored line of the budget.
struct Line {
    std::string branch;
    char type = ' ';
    std::string sequence;
    std::string tax;
    Variant itemDate;
    Variant status;
    Variant state;
    std::array<Variant, 12> months; // null stays null
    double monthValue(int m) const { return months[m].isNull() ? 0.0 : months[m].toDouble(); }
};

// The lines of a year and version for the listed branches the operator sees, ordered by
// branch, type and sequence; `types` limits the type letters when not empty.
class ListedBudget {
public:
    ListedBudget(Database& db, const std::string& operatorCode, const std::string& year,
                 int version, const CodeList& list, const std::string& types = "")
        : m_access(db, operatorCode) {
        if (!m_access.versionExists(year, version))
            throw RpcError("Versão " + std::to_string(version) + " do ano " + year +
                           " não cadastrada.");
        const CodeList all = CodeList::parse("T", "");
        m_branches = m_access.select(list, all, all, all);
        Variant first = db.query("SELECT NRMESINIVERORC FROM VERSAOORCA WHERE CDANOVERORCA = ? "
                                 "AND CDVERSAOORCA = ?",
                                 {Variant(year), Variant(version)})
                            .scalar();
        m_firstMonth = first.isNull() ? 1 : first.toInt();
        if (m_branches.empty()) return;
        std::string sql = "SELECT CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA, CDIMPOSTO, "
                          "DTORCAMENTOITEM, IDSTATUSORCA, IDITEMORCAMENTO";
        for (int m = 1; m <= 12; ++m)
            sql += ", " + monthColumn("VRORCAMENTO", m);
        sql += " FROM ITEMORCAMENTO WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ?";
        std::vector<Variant> params{Variant(year), Variant(version)};
        // Long IN lists cost more than dropping rows while reading.
        if (!list.all() && m_branches.size() <= 500)
            sql += " AND CDFILIAL" +
                   inList(m_branches, params, [](const auto& entry) { return entry.first; });
        if (!types.empty()) sql += " AND IDTIPOORCAOP" + inList(types, params, letter);
        QueryResult r = db.query(sql + " ORDER BY CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA", params);
        m_lines.reserve(r.size());
        for (auto& row : r.rows) {
            Line line;
            line.branch = textTrimmedRight(row[0]);
            if (!m_branches.count(line.branch)) continue;
            const std::string type = textTrimmedRight(row[1]);
            line.type = type.empty() ? ' ' : type[0];
            line.sequence = textTrimmedRight(row[2]);
            line.tax = textTrimmedRight(row[3]);
            line.itemDate = std::move(row[4]);
            line.status = std::move(row[5]);
            line.state = std::move(row[6]);
            for (std::size_t m = 0; m < 12; ++m)
                line.months[m] = std::move(row[7 + m]);
            m_lines.push_back(std::move(line));
        }
    }

    const std::map<std::string, VisibleBranch>& branches() const { return m_branches; }
    const std::vector<Line>& lines() const { return m_lines; }
    int firstMonth() const { return m_firstMonth; }

    // Per branch, the month sums of the lines of one type.
    std::map<std::string, Months> totalsByBranch(char type) const {
        std::map<std::string, Months> out;
        for (const Line& line : m_lines) {
            if (line.type != type) continue;
            Months& sums = out.try_emplace(line.branch, Months{}).first->second;
            for (int m = 0; m < 12; ++m)
                sums[m] += line.monthValue(m);
        }
        return out;
    }

private:
    BudgetAccess m_access;
    std::map<std::string, VisibleBranch> m_branches;
    std::vector<Line> m_lines;
    int m_firstMonth = 1;
};

Variant getFilial(CallContext& call) {
    call.requireSelf(0);
    std::string code = call.text(1);
    const std::string year = BudgetAccess::checkYear(call.arg(2));
    const int version = versionOf(call.text(3));
    const bool all = code == "T";
    if (!all && !code.empty() && code.size() < 4) code.insert(0, 4 - code.size(), '0');
    return call.store.read([&](Database& db) {
        BudgetAccess access(db, call.operatorCode);
        // Only branches with a budget in the version can be simulated.
        std::string sql = "SELECT CDFILIAL, CDOPERADOR FROM ORCAMENTOFILIAL WHERE NRANOORCAOP = ? "
                          "AND CDVERSORCAOP = ?";
        std::vector<Variant> params{Variant(year), Variant(version)};
        if (!all) {
            sql += " AND CDFILIAL = ?";
            params.emplace_back(code);
        }
        DataPacket out;
        out.fields = {{"IDMARCADO", FieldType::String, 1},
                      {"CDFILIAL", FieldType::String, 6},
                      {"NMFILIAL", FieldType::String, 30},
                      {"CDOPERADOR", FieldType::String, 12},
                      {"IDACESSOCALC", FieldType::String, 1}};
        for (auto& row : db.query(sql + " ORDER BY CDFILIAL", params).rows) {
            const std::string branch = textTrimmedRight(row[0]);
            const VisibleBranch* b = nullptr;
            if (all) {
                auto it = access.branches().find(branch);
                if (it != access.branches().end()) b = &it->second;
            } else {
                b = access.branch(branch);
            }
            if (!b) continue;
            out.rows.push_back({Variant("N"), Variant(branch), Variant(b->name),
                                row[1].isNull() ? Variant() : Variant(textTrimmedRight(row[1])),
                                Variant(b->calcAccess)});
        }
        return out;
    });
}

Variant retornaTotImp(CallContext& call) {
    const CodeList list = branchList(call.text(0));
    const std::string year = BudgetAccess::checkYear(call.arg(1));
    const int version = call.integer(2);
    const Months taxes = call.store.read([&](Database& db) {
        Months sums{};
        ListedBudget budget(db, call.operatorCode, year, version, list, "I");
        for (const auto& [branch, months] : budget.totalsByBranch('I'))
            for (int m = 0; m < 12; ++m)
                sums[m] += months[m];
        return sums;
    });
    DataPacket p;
    std::vector<Variant> row;
    for (int m = 1; m <= 12; ++m) {
        p.fields.push_back({monthColumn("VRRELITORCOP", m), FieldType::Float, 0});
        row.emplace_back(roundMoney(taxes[m - 1]));
    }
    p.rows.push_back(std::move(row));
    return p;
}

Variant valorTotal(CallContext& call) {
    const std::string year = BudgetAccess::checkYear(call.arg(0));
    const CodeList list = branchList(call.text(1));
    const int version = versionOf(call.text(2));
    const auto billing = call.store.read([&](Database& db) {
        return ListedBudget(db, call.operatorCode, year, version, list, "F").totalsByBranch('F');
    });
    DataPacket p;
    p.fields.push_back({"CDFILIAL", FieldType::String, 4});
    for (int m = 1; m <= 12; ++m)
        p.fields.push_back({monthColumn("VRORCAMENTO", m), FieldType::Float, 0});
    for (const auto& [branch, months] : billing) {
        std::vector<Variant> row{Variant(branch)};
        for (double v : months)
            row.emplace_back(roundMoney(v));
        p.rows.push_back(std::move(row));
    }
    return p;
}

// "S" when every billing (consumption) line of the listed branches comes from the base-month
// calculation, so a typed value would replace calculated figures; "N" otherwise or without lines.
Variant validaFat(CallContext& call) {
    const CodeList list = branchList(call.text(0));
    const std::string year = BudgetAccess::checkYear(call.arg(1));
    const int version = call.integer(2);
    const std::array<std::string, 2> flags = call.store.read([&](Database& db) {
        ListedBudget budget(db, call.operatorCode, year, version, list);
        std::vector<Variant> params{Variant(year), Variant(version)};
        QueryResult r = db.query("SELECT CDFILIAL, IDTIPOORCAOP, IDITEMCALCORCA FROM "
                                 "ITEMORCAMENTO WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND "
                                 "IDTIPOORCAOP IN ('F', 'C')",
                                 params);
        int lines[2] = {0, 0}, auto_[2] = {0, 0};
        for (const auto& row : r.rows) {
            if (!budget.branches().count(textTrimmedRight(row[0]))) continue;
            const int k = textTrimmedRight(row[1]) == "F" ? 0 : 1;
            ++lines[k];
            if (textTrimmedRight(row[2]) == "S") ++auto_[k];
        }
        std::array<std::string, 2> out;
        for (int k = 0; k < 2; ++k)
            out[k] = lines[k] > 0 && auto_[k] == lines[k] ? "S" : "N";
        return out;
    });
    DataPacket p;
    p.fields = {{"AUTO_FATURAMENTO", FieldType::String, 1}, {"AUTO_CONSUMO", FieldType::String, 1}};
    p.rows.push_back({Variant(flags[0]), Variant(flags[1])});
    return p;
}

// The lines the general item dialog simulates, whose month rows getSimulGeral returns.
constexpr std::string_view kGeneralLetters = "IRSNPT";

struct SimulGeral {
    DataPacket months, items, total;
};

SimulGeral simulGeral(Database& db, const std::string& operatorCode, const std::string& year,
                      int version, const CodeList& list, const std::string& letter,
                      const std::string& month) {
    const std::array<bool, 12> period = BudgetLines::period(month);
    ListedBudget budget(db, operatorCode, year, version, list, letter);
    std::map<std::string, std::string> taxNames;
    for (const auto& row : db.query("SELECT CDIMPOSTO, NMIMPOSTO FROM IMPOSTO").rows)
        taxNames.emplace(textTrimmedRight(row[0]), textTrimmedRight(row[1]));
    const std::map<std::string, Months> billing =
        letter.empty() || letter == "F"
            ? budget.totalsByBranch('F')
            : ListedBudget(db, operatorCode, year, version, list, "F").totalsByBranch('F');
    const auto billingOf = [&](const std::string& branch) {
        auto it = billing.find(branch);
        return it == billing.end() ? Months{} : it->second;
    };
    const auto periodValue = [&](const Months& m) {
        double sum = 0;
        for (int i = 0; i < 12; ++i)
            if (period[i]) sum += m[i];
        return sum;
    };

    SimulGeral out;
    DataPacket& items = out.items;
    items.fields = {{"NRANOORCAOP", FieldType::String, 4},    {"CDFILIAL", FieldType::String, 4},
                    {"NRSEQITEMORCA", FieldType::String, 10}, {"CDVERSORCAOP", FieldType::Float, 0},
                    {"CDIMPOSTO", FieldType::String, 2},      {"NMIMPOSTO", FieldType::String, 30}};
    for (int m = 1; m <= 12; ++m)
        items.fields.push_back({monthColumn("VRORCAMENTO", m), FieldType::Float, 0});
    for (const char* f : {"TOTAL", "PORCENT", "TOTGERAL", "FATURAMENTO"})
        items.fields.push_back({f, FieldType::Float, 0});
    items.fields.push_back({"IDTIPOORCAOP", FieldType::String, 1});
    for (int m = 1; m <= 12; ++m)
        items.fields.push_back({"VRFATORCAMENTO" + std::to_string(m), FieldType::Float, 0});
    items.fields.push_back({"DTORCAMENTOITEM", FieldType::DateTime, 0});
    items.fields.push_back({"IDSTATUSORCA", FieldType::String, 1});
    items.fields.push_back({"IDITEMORCAMENTO", FieldType::String, 1});

    DataPacket& months = out.months;
    months.fields = {{"NRANOORCAOP", FieldType::String, 4},  {"CDFILIAL", FieldType::String, 4},
                     {"IDTIPOORCAOP", FieldType::String, 1}, {"TOTAL", FieldType::Float, 0},
                     {"PORCIMPOST", FieldType::Float, 0},    {"CDIMPOSTO", FieldType::String, 2},
                     {"NMES", FieldType::Integer, 0},        {"NUM_FILIAIS", FieldType::Float, 0},
                     {"VRMES", FieldType::Float, 0}};
    for (int m = 1; m <= 12; ++m)
        months.fields.push_back({"VRFATORCAMENTO" + std::to_string(m), FieldType::Float, 0});
    // Branch, type and tax do not tell two lines of a branch apart: the sequence does.
    months.fields.push_back({"NRSEQITEMORCA", FieldType::String, 10});

    // The whole list's period total per type letter.
    std::map<char, double> typeTotals;
    for (const Line& line : budget.lines()) {
        Months values{};
        for (int m = 0; m < 12; ++m)
            values[m] = line.monthValue(m);
        typeTotals[line.type] += periodValue(values);
    }
    const double branchCount = static_cast<double>(budget.branches().size());
    const int yearNumber = std::stoi(year);
    const Variant thisYear(year), nextYear(std::to_string(yearNumber + 1));
    items.rows.reserve(budget.lines().size());
    for (const Line& line : budget.lines()) {
        Months values{};
        for (int m = 0; m < 12; ++m)
            values[m] = line.monthValue(m);
        const Months fat = billingOf(line.branch);
        const double total = roundMoney(periodValue(values));
        const double base = roundMoney(periodValue(fat));
        auto tax = taxNames.find(line.tax);
        std::vector<Variant> row{Variant(year),
                                 Variant(line.branch),
                                 Variant(line.sequence),
                                 Variant(static_cast<double>(version)),
                                 line.tax.empty() ? Variant() : Variant(line.tax),
                                 tax == taxNames.end() ? Variant() : Variant(tax->second)};
        for (const Variant& v : line.months)
            row.push_back(v);
        row.emplace_back(total);
        row.emplace_back(base != 0 ? roundMoney(total * 100.0 / base) : 0.0);
        row.emplace_back(roundMoney(typeTotals[line.type]));
        row.emplace_back(base);
        row.emplace_back(std::string(1, line.type));
        for (double v : fat)
            row.emplace_back(roundMoney(v));
        row.push_back(line.itemDate.isNull() ? Variant()
                                             : Variant::fromDate(line.itemDate.toDouble()));
        row.push_back(line.status);
        row.push_back(line.state.isNull() ? Variant() : Variant(textTrimmedRight(line.state)));
        items.rows.push_back(std::move(row));

        if (kGeneralLetters.find(line.type) == std::string_view::npos) continue;
        // Month rows run from the version's first month; in a version starting in April,
        // January to March belong to the next calendar year.
        const Variant branch(line.branch), type(std::string(1, line.type)), totalCell(total),
            taxCell = line.tax.empty() ? Variant() : Variant(line.tax), sequence(line.sequence);
        for (int k = 0; k < 12; ++k) {
            const int m = (budget.firstMonth() - 1 + k) % 12 + 1;
            const double value = roundMoney(values[m - 1]);
            std::vector<Variant> mrow;
            mrow.reserve(months.fields.size());
            mrow.push_back(m < budget.firstMonth() ? nextYear : thisYear);
            mrow.push_back(branch);
            mrow.push_back(type);
            mrow.push_back(totalCell);
            mrow.emplace_back(fat[m - 1] != 0 ? roundMoney(value * 100.0 / fat[m - 1]) : 0.0);
            mrow.push_back(taxCell);
            mrow.emplace_back(m);
            mrow.emplace_back(branchCount);
            mrow.emplace_back(value);
            // The screen's own read carries the billing on the item rows only: a month row
            // per line and month would repeat it twelve times over.
            for (double v : fat)
                mrow.push_back(letter.empty() ? Variant() : Variant(roundMoney(v)));
            mrow.push_back(sequence);
            months.rows.push_back(std::move(mrow));
        }
    }
    out.total.fields = {{"VRTOTAITEM", FieldType::Float, 0}};
    double all = 0;
    for (const auto& [type, sum] : typeTotals)
        all += sum;
    out.total.rows.push_back({Variant(roundMoney(all))});
    return out;
}

Variant getSimulGeral(CallContext& call) {
    const std::string year = std::to_string(call.integer(0));
    BudgetAccess::checkYear(Variant(year));
    const CodeList list = branchList(call.text(1));
    const std::string letter = call.text(2);
    if (letter.size() > 1 ||
        (letter.size() == 1 && kGeneralLetters.find(letter[0]) == std::string_view::npos))
        throw RpcError("getSimulGeral: tipo de item inválido \"" + letter + "\".",
                       RpcError::BadRequest);
    const int version = call.integer(3);
    const std::string month = call.text(4);
    SimulGeral s = call.store.read([&](Database& db) {
        return simulGeral(db, call.operatorCode, year, version, list, letter, month);
    });
    return Variant(std::vector<Variant>{Variant(std::move(s.months)), Variant(std::move(s.items)),
                                        Variant(std::move(s.total))});
}

} // namespace

void registerSimulationReads(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "getFilial", {K::Text, K::Text, K::Text, K::Text}, getFilial);
    registry.add(kModuleCalcOrcaOper, "RetornaTotImp", {K::Text, K::Text, K::Integer},
                 retornaTotImp);
    registry.add(kModuleCalcOrcaOper, "ValorTotal", {K::Text, K::Text, K::Text}, valorTotal);
    registry.add(kModuleCalcOrcaOper, "ValidaFat", {K::Text, K::Text, K::Integer}, validaFat);
    registry.add(kModuleCalcOrcaOper, "getSimulGeral",
                 {K::Integer, K::Text, K::Text, K::Integer, K::Text}, getSimulGeral);
}

} // namespace srv
