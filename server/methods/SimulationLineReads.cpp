// The reads behind the billing, consumption, labour and miscellaneous-expense lines of the
// result simulation: GetSimulaFat, getSimulaCons, GetSimulaMaoObra and GetDespesas. Values are the
// stored budget of the listed branches the operator sees; "period" values add the months of the
// month argument.
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

#include <algorithm>
#include <map>

namespace srv {

namespace {

using K = ParamKind;
using Period = std::array<bool, 12>;
using Months = std::array<double, 12>;

double number(const Variant& v) {
    return v.isNull() ? 0.0 : v.toDouble();
}

double share(double part, double whole) {
    return whole != 0 ? roundMoney(part * 100.0 / whole) : 0.0;
}

double periodSum(const Months& m, const Period& period) {
    double sum = 0;
    for (std::size_t i = 0; i < 12; ++i)
        if (period[i]) sum += m[i];
    return sum;
}

// The listed branches the operator sees, of an existing version.
struct Scope {
    std::vector<std::string> branches;
    int firstMonth = 1;
    std::map<std::string, Months> billing; // per branch, its type F items summed

    Scope(Database& db, const std::string& operatorCode, const std::string& year, int version,
          const std::string& listText) {
        const CodeList list = BudgetLines::branchList(listText);
        BudgetAccess access(db, operatorCode);
        const Variant first = db.query("SELECT NRMESINIVERORC FROM VERSAOORCA WHERE "
                                       "CDANOVERORCA = ? AND CDVERSAOORCA = ?",
                                       {Variant(year), Variant(version)})
                                  .scalar();
        if (first.isNull())
            throw RpcError("Versão " + std::to_string(version) + " do ano " + year +
                           " não cadastrada.");
        firstMonth = first.toInt();
        const CodeList all = CodeList::parse("T", "");
        for (const auto& [code, b] : access.select(list, all, all, all))
            branches.push_back(code);
        const BudgetLines lines(db, year, version, branches, "F");
        for (const BudgetLine& line : lines.lines()) {
            Months& sums = billing.try_emplace(line.branch, Months{}).first->second;
            for (int m = 1; m <= 12; ++m)
                sums[static_cast<std::size_t>(m - 1)] += line.value(m);
        }
    }

    Months billingOf(const std::string& branch) const {
        auto it = billing.find(branch);
        return it == billing.end() ? Months{} : it->second;
    }
    // The k-th month of the version (1..12) in calendar numbering.
    int monthAt(int k) const { return (firstMonth - 1 + k - 1) % 12 + 1; }
};

// The FROM and WHERE of a read of the listed branches' services of a type (F or C), each service
// row `i` beside its master row `s`, in branch and service order; `params` gets the values.
std::string servicesOf(char type, const Scope& scope, const std::string& year, int version,
                       std::vector<Variant>& params) {
    params = {Variant(year), Variant(version), Variant(std::string(1, type))};
    return " FROM ITEMSERVORCA i LEFT JOIN SERVFILIAL s ON s.NRANOORCAOP = i.NRANOORCAOP AND "
           "s.CDFILIAL = i.CDFILIAL AND s.IDTIPOORCAOP = i.IDTIPOORCAOP AND s.CDSERVFILI = "
           "i.CDSERVFILI WHERE i.NRANOORCAOP = ? AND i.CDVERSORCAOP = ? AND i.IDTIPOORCAOP = ? "
           "AND i.CDFILIAL" +
           inList(scope.branches, params) + " ORDER BY i.CDFILIAL, i.CDSERVFILI";
}

// The working days of each branch by calendar month of the year.
std::map<std::string, Months> workingDays(Database& db, const std::string& year,
                                          const std::vector<std::string>& branches) {
    std::string sql = "SELECT CDFILIAL";
    for (int m = 1; m <= 12; ++m)
        sql += ", " + monthColumn("NDIAUTIL", m);
    std::vector<Variant> params{Variant(year)};
    sql += " FROM DIAUTILFILIAL WHERE NRANOORCAOP = ? AND CDFILIAL" + inList(branches, params);
    std::map<std::string, Months> days;
    for (const auto& row : db.query(sql, params).rows) {
        Months d{};
        for (std::size_t m = 0; m < 12; ++m)
            d[m] = number(row[1 + m]);
        days[textTrimmedRight(row[0])] = d;
    }
    return days;
}

Variant getSimulaCons(CallContext& call) {
    const std::string year = BudgetAccess::checkYear(call.arg(0));
    const int version = call.integer(1);
    const std::string listText = call.text(2);
    const Period period = BudgetLines::period(call.text(3));
    return call.store.read([&](Database& db) {
        const Scope scope(db, call.operatorCode, year, version, listText);
        DataPacket services, byMonth, values;
        services.fields = {
            {"CDSERVFILI", FieldType::String, 5}, {"NMSERVICO", FieldType::String, 40},
            {"QTCOMENSAIS", FieldType::Float, 0}, {"VRCONSUMO", FieldType::Float, 0},
            {"VRPERCFAT", FieldType::Float, 0},   {"CDFILIAL", FieldType::String, 4}};
        byMonth.fields = {
            {"CDSERVFILI", FieldType::String, 5}, {"MES", FieldType::Integer, 0},
            {"NDIAUTIL", FieldType::Float, 0},    {"QTORCAMENTO", FieldType::Float, 0},
            {"VRCUSTO", FieldType::Float, 0},     {"VRORCAMENTO", FieldType::Float, 0},
            {"IDORDENA", FieldType::String, 2},   {"IDITEMORCAMENTO", FieldType::String, 1},
            {"CDFILIAL", FieldType::String, 4},   {"FATURAMENTO", FieldType::Float, 0},
            {"VRPERCMED", FieldType::Float, 0}};
        // The consumption dialog edits diners and values of any month and sends them back.
        values.fields = {{"CDFILIAL", FieldType::String, 4},
                         {"CDSERVFILI", FieldType::String, 5},
                         {"NMSERVICO", FieldType::String, 40},
                         {"IDITEMORCAMENTO", FieldType::String, 1}};
        for (int m = 1; m <= 12; ++m)
            values.fields.push_back({"VRORCA" + std::to_string(m), FieldType::Float, 0});
        for (int m = 1; m <= 12; ++m)
            values.fields.push_back({"QTORCA" + std::to_string(m), FieldType::Float, 0});
        if (scope.branches.empty())
            return Variant(std::vector<Variant>{Variant(std::move(services)),
                                                Variant(std::move(byMonth)),
                                                Variant(std::move(values))});

        const std::map<std::string, Months> days = workingDays(db, year, scope.branches);
        std::string sql = "SELECT i.CDFILIAL, i.CDSERVFILI, s.NMSERVICO, s.VRCUSTO, "
                          "i.IDITEMORCAMENTO";
        for (int m = 1; m <= 12; ++m)
            sql += ", i." + monthColumn("QTORCAMENTO", m);
        for (int m = 1; m <= 12; ++m)
            sql += ", i." + monthColumn("VRORCAMENTO", m);
        std::vector<Variant> params;
        sql += servicesOf('C', scope, year, version, params);
        for (const auto& row : db.query(sql, params).rows) {
            const std::string branch = textTrimmedRight(row[0]), service = textTrimmedRight(row[1]);
            const Months billing = scope.billingOf(branch);
            Months qty{}, value{};
            for (std::size_t m = 0; m < 12; ++m) {
                qty[m] = number(row[5 + m]);
                value[m] = number(row[17 + m]);
            }
            const double consumption = roundMoney(periodSum(value, period));
            services.rows.push_back(
                {Variant(service), row[2], Variant(roundMoney(periodSum(qty, period))),
                 Variant(consumption),
                 Variant(share(consumption, roundMoney(periodSum(billing, period)))),
                 Variant(branch)});
            std::vector<Variant> v{Variant(branch), Variant(service), row[2], row[4]};
            for (std::size_t m = 0; m < 12; ++m)
                v.emplace_back(roundMoney(value[m]));
            for (std::size_t m = 0; m < 12; ++m)
                v.emplace_back(roundMoney(qty[m]));
            values.rows.push_back(std::move(v));
            const Months d = days.count(branch) ? days.at(branch) : Months{};
            for (int k = 1; k <= 12; ++k) {
                const int m = scope.monthAt(k);
                const auto i = static_cast<std::size_t>(m - 1);
                if (!period[i]) continue;
                char order[3];
                std::snprintf(order, sizeof order, "%02d", k);
                byMonth.rows.push_back(
                    {Variant(service), Variant(m), Variant(d[i]), Variant(roundMoney(qty[i])),
                     row[3], Variant(roundMoney(value[i])), Variant(std::string(order)), row[4],
                     Variant(branch), Variant(share(value[i], roundMoney(billing[i]))),
                     Variant(qty[i] > 0 ? roundMoney(value[i] / qty[i]) : 0.0)});
            }
        }
        return Variant(std::vector<Variant>{
            Variant(std::move(services)), Variant(std::move(byMonth)), Variant(std::move(values))});
    });
}

Variant getSimulaMaoObra(CallContext& call) {
    const std::string listText = call.text(0);
    const std::string year = BudgetAccess::checkYear(call.arg(1));
    const int version = call.integer(2);
    const Period period = BudgetLines::period(call.text(3));
    const double billingBase = call.number(4);
    return call.store.read([&](Database& db) {
        const Scope scope(db, call.operatorCode, year, version, listText);
        DataPacket items, types;
        items.fields = {
            {"CDDESPADMFAT", FieldType::String, 2},   {"IDITEMORCAMENTO", FieldType::String, 1},
            {"CDFILIAL", FieldType::String, 4},       {"CDORCAMENTOMO", FieldType::String, 10},
            {"DSORCAMENTOMO", FieldType::String, 50}, {"DSDESPADMFAT", FieldType::String, 40}};
        for (int m = 1; m <= 12; ++m)
            items.fields.push_back({monthColumn("NDIAUTIL", m), FieldType::Float, 0});
        for (int m = 1; m <= 12; ++m)
            items.fields.push_back({monthColumn("VRORCAMENTO", m), FieldType::Float, 0});
        items.fields.push_back({"VRTOTMO", FieldType::Float, 0});
        items.fields.push_back({"NRSEQITEMORCA", FieldType::String, 10});
        items.fields.push_back({"IDTIPOORCAOP", FieldType::String, 1});
        types.fields = {
            {"CDORCAMENTOMO", FieldType::String, 10}, {"IDITEMORCAMENTO", FieldType::String, 1},
            {"CDDESPADMFAT", FieldType::String, 2},   {"VRTPMAOOBRA", FieldType::Float, 0},
            {"VRTOTFAT", FieldType::Float, 0},        {"PERCENTUALMO", FieldType::Float, 0},
            {"CDFILIAL", FieldType::String, 4},       {"DSORCAMENTOMO", FieldType::String, 50},
            {"DSDESPADMFAT", FieldType::String, 40}};
        if (!scope.branches.empty()) {
            // The labour budgets (code and description) holding a labour type, per branch and
            // type in code order. Lines of one type in one branch take them in turn, so that each
            // line is known by its own budget's code.
            using Budget = std::pair<Variant, Variant>;
            std::map<std::pair<std::string, std::string>, std::vector<Budget>> budgets;
            std::map<std::pair<std::string, std::string>, std::size_t> taken;
            std::vector<Variant> params;
            const std::string sql = "SELECT o.CDFILIAL, t.CDDESPADMFAT, o.CDORCAMENTOMO, "
                                    "o.DSORCAMENTOMO FROM ORCAMENTOMO o JOIN ORCAMENTOMOTIPO t ON "
                                    "t.CDORCAMENTOMO = o.CDORCAMENTOMO WHERE o.CDFILIAL" +
                                    inList(scope.branches, params) + " ORDER BY o.CDORCAMENTOMO";
            for (auto& row : db.query(sql, params).rows)
                budgets[{textTrimmedRight(row[0]), textTrimmedRight(row[1])}].emplace_back(row[2],
                                                                                           row[3]);
            std::map<std::string, Variant> typeNames;
            for (auto& row : db.query("SELECT CDDESPADMFAT, DSDESPADMFAT FROM DESPADMFAT").rows)
                typeNames.emplace(textTrimmedRight(row[0]), row[1]);
            const std::map<std::string, Months> days = workingDays(db, year, scope.branches);
            const BudgetLines lines(db, year, version, scope.branches, "O");
            for (const BudgetLine& line : lines.lines()) {
                const auto budget = budgets.find({line.branch, line.labourType});
                Budget own;
                if (budget != budgets.end()) {
                    std::size_t& next = taken[{line.branch, line.labourType}];
                    own = budget->second[std::min(next++, budget->second.size() - 1)];
                }
                const Variant& code = own.first;
                const auto name = typeNames.find(line.labourType);
                // The labour line as the dialog lists it: its budget and type by name.
                const Variant& budgetName = own.second;
                const Variant typeName = name == typeNames.end() ? Variant() : name->second;
                std::vector<Variant> row{Variant(line.labourType),
                                         line.state.empty() ? Variant() : Variant(line.state),
                                         Variant(line.branch),
                                         code,
                                         budgetName,
                                         typeName};
                const Months d = days.count(line.branch) ? days.at(line.branch) : Months{};
                for (double v : d)
                    row.emplace_back(v);
                Months values{};
                for (int m = 1; m <= 12; ++m) {
                    row.push_back(line.months[static_cast<std::size_t>(m - 1)]);
                    values[static_cast<std::size_t>(m - 1)] = line.value(m);
                }
                const double total = roundMoney(periodSum(values, period));
                row.emplace_back(total);
                row.emplace_back(line.sequence);
                row.emplace_back(std::string("O"));
                items.rows.push_back(std::move(row));
                types.rows.push_back({code, line.state.empty() ? Variant() : Variant(line.state),
                                      Variant(line.labourType), Variant(total),
                                      Variant(roundMoney(billingBase)),
                                      Variant(share(total, billingBase)), Variant(line.branch),
                                      budgetName, typeName});
            }
        }
        return Variant(std::vector<Variant>{Variant(std::move(items)), Variant(std::move(types))});
    });
}

Variant getDespesas(CallContext& call) {
    const std::string listText = call.text(0);
    const std::string year = std::to_string(call.integer(1));
    BudgetAccess::checkYear(Variant(year));
    const int version = call.integer(2);
    const Period period = BudgetLines::period(call.text(3));
    return call.store.read([&](Database& db) {
        const Scope scope(db, call.operatorCode, year, version, listText);
        DataPacket expenses, items;
        expenses.fields = {
            {"CDDESPPREV", FieldType::String, 3}, {"NMDESPPREV", FieldType::String, 50},
            {"VRTOTAL", FieldType::Float, 0},     {"PORCDESP", FieldType::Float, 0},
            {"PORCFAT", FieldType::Float, 0},     {"IDITEMORCAMENTO", FieldType::String, 1},
            {"CDFILIAL", FieldType::String, 4}};
        items.fields = {{"CDDESPPREV", FieldType::String, 3}};
        for (int m = 1; m <= 12; ++m)
            items.fields.push_back({monthColumn("VRORCAMENTO", m), FieldType::Float, 0});
        items.fields.push_back({"CDFILIAL", FieldType::String, 4});
        items.fields.push_back({"NRSEQITEMORCA", FieldType::String, 10});
        items.fields.push_back({"IDTIPOORCAOP", FieldType::String, 1});
        // The branch's billing by month, against which the dialog measures a month's expense.
        for (int m = 1; m <= 12; ++m)
            items.fields.push_back({monthColumn("VRFATORCAMENTO", m), FieldType::Float, 0});
        std::map<std::string, Variant> names;
        for (auto& row : db.query("SELECT CDDESPPREV, NMDESPPREV FROM DESPPREV").rows)
            names.emplace(textTrimmedRight(row[0]), row[1]);
        const BudgetLines lines(db, year, version, scope.branches, "D");
        double all = 0, billing = 0;
        std::vector<double> totals;
        for (const BudgetLine& line : lines.lines()) {
            Months values{};
            for (int m = 1; m <= 12; ++m)
                values[static_cast<std::size_t>(m - 1)] = line.value(m);
            totals.push_back(roundMoney(periodSum(values, period)));
            all += totals.back();
        }
        for (const std::string& branch : scope.branches)
            billing += periodSum(scope.billingOf(branch), period);
        std::size_t i = 0;
        for (const BudgetLine& line : lines.lines()) {
            const double total = totals[i++];
            const auto name = names.find(line.expense);
            expenses.rows.push_back(
                {Variant(line.expense), name == names.end() ? Variant() : name->second,
                 Variant(total), Variant(share(total, roundMoney(all))),
                 Variant(share(total, roundMoney(billing))),
                 line.state.empty() ? Variant() : Variant(line.state), Variant(line.branch)});
            std::vector<Variant> row{Variant(line.expense)};
            for (const Variant& v : line.months)
                row.push_back(v);
            row.emplace_back(line.branch);
            row.emplace_back(line.sequence);
            row.emplace_back(std::string("D"));
            for (double b : scope.billingOf(line.branch))
                row.emplace_back(roundMoney(b));
            items.rows.push_back(std::move(row));
        }
        return Variant(
            std::vector<Variant>{Variant(std::move(expenses)), Variant(std::move(items))});
    });
}

bool closedState(const std::string& s) {
    return s == "E" || s == "A";
}

// The state a billing service shows: its own when effected or approved, else that of its
// branch's billing item or budget when those are, so that nothing closed looks editable.
std::string serviceState(const std::string& own, const BudgetLine* item,
                         const std::string& header) {
    if (closedState(own)) return own;
    if (item && closedState(item->state)) return item->state;
    if (item && closedState(item->status)) return item->status;
    if (closedState(header)) return header;
    return own;
}

Variant getSimulaFat(CallContext& call) {
    const std::string listText = call.text(0);
    const std::string year = BudgetAccess::checkYear(call.arg(1));
    const int version = call.integer(2);
    const Period period = BudgetLines::period(call.text(3));
    return call.store.read([&](Database& db) {
        const Scope scope(db, call.operatorCode, year, version, listText);
        DataPacket byMonth, services;
        byMonth.fields = {{"CDSERVFILI", FieldType::String, 5},
                          {"CDFILIAL", FieldType::String, 4},
                          {"IDITEMORCAMENTO", FieldType::String, 1},
                          {"NRSEQITEMORCA", FieldType::String, 10}};
        for (const char* prefix :
             {"NDIAUTIL", "VRORCAMENTO", "VRPERCORRCOM", "VRREAJORC", "QTORCAMENTO"})
            for (int m = 1; m <= 12; ++m)
                byMonth.fields.push_back({monthColumn(prefix, m), FieldType::Float, 0});
        services.fields = {
            {"CDSERVFILI", FieldType::String, 5},     {"NMSERVICO", FieldType::String, 40},
            {"VRSERVCORCA", FieldType::Float, 0},     {"VRTOTORCA", FieldType::Float, 0},
            {"PERCENTUALFAT", FieldType::Float, 0},   {"IDITEMORCAMENTO", FieldType::String, 1},
            {"NRSEQITEMORCA", FieldType::String, 10}, {"CDFILIAL", FieldType::String, 4}};
        const auto answer = [&] {
            return Variant(
                std::vector<Variant>{Variant(std::move(byMonth)), Variant(std::move(services))});
        };
        if (scope.branches.empty()) return answer();

        // The first billing item of each branch holds its services.
        std::map<std::string, BudgetLine> items;
        const BudgetLines billing(db, year, version, scope.branches, "F");
        for (const BudgetLine& line : billing.lines())
            items.try_emplace(line.branch, line);
        std::map<std::string, std::string> headers;
        std::vector<Variant> params{Variant(year), Variant(version)};
        for (auto& row : db.query("SELECT CDFILIAL, IDSTATUSORCA FROM ORCAMENTOFILIAL WHERE "
                                  "NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL" +
                                      inList(scope.branches, params),
                                  params)
                             .rows)
            headers[textTrimmedRight(row[0])] = textTrimmedRight(row[1]);
        const std::map<std::string, Months> days = workingDays(db, year, scope.branches);

        std::string sql = "SELECT i.CDFILIAL, i.CDSERVFILI, s.NMSERVICO, i.IDITEMORCAMENTO";
        const std::pair<const char*, const char*> columns[] = {{"i.", "VRORCAMENTO"},
                                                               {"s.", "VRPERCORRCOM"},
                                                               {"s.", "VRREAJORC"},
                                                               {"i.", "QTORCAMENTO"}};
        for (const auto& [table, prefix] : columns)
            for (int m = 1; m <= 12; ++m)
                sql += std::string(", ") + table + monthColumn(prefix, m);
        sql += servicesOf('F', scope, year, version, params);
        for (const auto& row : db.query(sql, params).rows) {
            const std::string branch = textTrimmedRight(row[0]), service = textTrimmedRight(row[1]);
            const auto item = items.find(branch);
            const BudgetLine* line = item == items.end() ? nullptr : &item->second;
            const auto header = headers.find(branch);
            const std::string state = serviceState(textTrimmedRight(row[3]), line,
                                                   header == headers.end() ? "" : header->second);
            const Variant stateValue = state.empty() ? Variant() : Variant(state);
            const Variant sequence = line ? Variant(line->sequence) : Variant();
            std::vector<Variant> months{Variant(service), Variant(branch), stateValue, sequence};
            const Months d = days.count(branch) ? days.at(branch) : Months{};
            for (double v : d)
                months.emplace_back(v);
            Months value{};
            for (std::size_t group = 0; group < 4; ++group)
                for (std::size_t m = 0; m < 12; ++m) {
                    const Variant& cell = row[4 + group * 12 + m];
                    months.push_back(cell);
                    if (group == 0) value[m] = number(cell);
                }
            byMonth.rows.push_back(std::move(months));
            const double total = roundMoney(periodSum(value, period));
            const double billing = roundMoney(periodSum(scope.billingOf(branch), period));
            services.rows.push_back({Variant(service), row[2], Variant(total), Variant(billing),
                                     Variant(share(total, billing)), stateValue, sequence,
                                     Variant(branch)});
        }
        return answer();
    });
}

} // namespace

void registerSimulationLineReads(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "GetSimulaFat", {K::Text, K::Text, K::Integer, K::Text},
                 getSimulaFat);
    registry.add(kModuleCalcOrcaOper, "getSimulaCons", {K::Text, K::Integer, K::Text, K::Text},
                 getSimulaCons);
    registry.add(kModuleCalcOrcaOper, "GetSimulaMaoObra",
                 {K::Text, K::Text, K::Integer, K::Text, K::Double}, getSimulaMaoObra);
    registry.add(kModuleCalcOrcaOper, "GetDespesas", {K::Text, K::Integer, K::Integer, K::Text},
                 getDespesas);
}

} // namespace srv
