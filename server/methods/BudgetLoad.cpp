// GetDadosOrcamento: the whole budget of a year and version as the six packets the main screen
// loads, restricted to the branches the operator sees and the four filter lists select.
#include "server/methods/BudgetAccess.h"
#include "server/methods/Methods.h"
#include "server/methods/PacketBuilder.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/InList.h"
#include "server/store/RowPipeline.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"

#include <map>

namespace srv {

namespace {

using K = ParamKind;
using Lookup = std::map<std::string, Variant, std::less<>>;

Lookup lookup(Database& db, const char* sql) {
    Lookup out;
    for (const auto& row : db.query(sql).rows)
        out.emplace(row[0].toText(),
                    row[1].isNull() || row[1].toText().empty() ? Variant() : row[1]);
    return out;
}

// The name of a code, or null; names are shared, not copied, across the rows.
Variant findIn(const Lookup& map, const Variant& key) {
    if (key.type() != VarType::Text) return Variant();
    auto it = map.find(key.textView());
    return it == map.end() ? Variant() : it->second;
}

Variant textOrNull(const std::string& s) {
    return s.empty() ? Variant() : Variant(s);
}

PacketBuilder branchPacket() {
    PacketBuilder p;
    p.text("NRANOORCAOP", 4).number("CDVERSORCAOP").text("NMFILIAL", 30).text("CDFILIAL", 4);
    p.text("CDOPERADOR", 12).date("DTORCAMENTO").text("IDSTATUSORCA", 1);
    for (const char* letter : {"O", "D", "M", "E", "I", "R", "S", "N", "P"})
        p.text(std::string("IDCHECK") + letter, 1).constant(Variant("N"));
    p.text("IDACESSOCALC", 1).text("IDITEMORCAMENTO", 1).constant(Variant("P"));
    return p;
}

PacketBuilder fatConsPacket() {
    PacketBuilder p;
    p.text("NRANOORCAOP", 4).number("CDVERSORCAOP").text("CDFILIAL", 4);
    // The dataset declares February before January.
    p.number("VRORCAMENTOFEV").number("VRORCAMENTOJAN");
    for (int m = 3; m <= 12; ++m)
        p.number(monthColumn("VRORCAMENTO", m));
    p.text("IDTIPOORCAOP", 1).text("IDENTRSAIDOP", 1).text("CDTIPOOPER", 2);
    p.text("CDDESPADMFAT", 2).text("CDDESPPREV", 3).text("NMFILIAL", 30);
    p.text("IDITEMORCAMENTO", 1).text("IDCHECKF", 1).constant(Variant("N"));
    p.text("IDCHECKC", 1).constant(Variant("N"));
    p.text("CDIMPOSTO", 2).date("DTMESBASEITEM").text("NRSEQITEMORCA", 10);
    p.text("IDSTATUSORCA", 2).text("IDACESSOCALC", 1).text("IDALTERADO", 1);
    p.text("IDCALCOMESTORC", 1).text("IDITEMCALCORCA", 1).number("TOTAL");
    return p;
}

PacketBuilder itemPacket() {
    PacketBuilder p;
    p.text("NRANOORCAOP", 4).number("CDVERSORCAOP").text("CDFILIAL", 4);
    p.date("DTORCAMENTOITEM").text("IDSTATUSORCA", 1).months("VRORCAMENTO");
    p.text("IDITEMORCAMENTO", 1).text("NMFILIAL", 30).text("IDTIPOORCAOP", 1);
    p.text("IDENTRSAIDOP", 1).text("CDTIPOOPER", 2).text("CDDESPADMFAT", 2);
    p.text("CDDESPPREV", 3).date("DTMESBASEITEM").text("NMTIPOOPER", 30);
    p.text("DSDESPADMFAT", 160).text("NMDESPPREV", 50).text("IDALTERADO", 1);
    p.text("CDIMPOSTO", 2).text("IDACESSOAPROV", 1).text("IDACESSOCALC", 1);
    p.text("NRSEQITEMORCA", 10).number("SOMAT").text("SGIMPOSTO", 10);
    p.text("IDCHECK", 20).constant(Variant("N"));
    return p;
}

PacketBuilder feePacket() {
    PacketBuilder p;
    p.text("DTMESBASEITEM", 10).number("SOMAT").text("NRANOORCAOP", 4).number("CDVERSORCAOP");
    p.text("CDFILIAL", 4).text("IDSTATUSORCA", 1).text("IDITEMORCAMENTO", 1);
    p.text("IDTIPOORCAOP", 1).text("IDENTRSAIDOP", 1).text("CDTIPOOPER", 2);
    p.text("NRSEQITEMORCA", 10).text("NMFILIAL", 30).text("IDCHECK", 1).constant(Variant("N"));
    p.text("IDACESSOCALC", 1).text("IDACESSOAPROV", 1).text("IDITEMCALCORCA", 1);
    p.months("VRORCAMENTO").text("IDALTERADO", 1);
    return p;
}

std::string itemColumns() {
    std::string sql = "NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA, "
                      "IDENTRSAIDOP, CDTIPOOPER, CDDESPADMFAT, CDDESPPREV, CDIMPOSTO, "
                      "DTORCAMENTOITEM, DTMESBASEITEM, IDSTATUSORCA, IDITEMORCAMENTO, "
                      "IDITEMCALCORCA, IDALTERADO";
    for (int m = 1; m <= 12; ++m)
        sql += ", " + monthColumn("VRORCAMENTO", m);
    return sql;
}

double monthSum(const std::vector<Variant>& row, const std::size_t (&monthColumns)[12]) {
    double total = 0;
    for (std::size_t c : monthColumns)
        if (!row[c].isNull()) total += row[c].toDouble();
    return total;
}

// The part of a WHERE clause that limits rows to a set of branches, or nothing when every
// visible branch is selected (rows of other branches are dropped while reading).
std::string branchClause(const std::map<std::string, VisibleBranch>& selected, bool restricted,
                         std::vector<Variant>& params) {
    if (!restricted) return {};
    return " AND CDFILIAL" +
           inList(selected, params, [](const auto& entry) { return entry.first; });
}

PacketBuilder workingDaysPacket() {
    PacketBuilder p;
    p.text("CDFILIAL", 4);
    for (int m = 1; m <= 12; ++m)
        p.text(monthColumn("VRORCAMENTO", m), m == 3 ? 3 : 2);
    return p;
}

PacketBuilder resultParamsPacket() {
    PacketBuilder p;
    p.text("CDFILIAL", 4).text("IDFATUROP", 2).text("IDDETALHEFATUR", 1);
    return p;
}

struct Budget {
    DataPacket branches, fatCons, items, workingDays, drParams, fees;
};

// What every query of one load shares: the year and version, and the branches it may return.
struct BudgetQuery {
    Database& db;
    std::string year;
    int version;
    const std::map<std::string, VisibleBranch>& selected;
    // The branches are named in the queries rather than filtered while reading.
    bool restricted;

    const VisibleBranch* branchOf(const Variant& code) const {
        if (code.type() != VarType::Text) return nullptr;
        auto it = selected.find(code.toText());
        return it == selected.end() ? nullptr : &it->second;
    }
    // " WHERE" on year and version (and the branches), with its parameters.
    std::string versionWhere(std::vector<Variant>& params) const {
        params = {Variant(year), Variant(version)};
        return " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ?" +
               branchClause(selected, restricted, params);
    }
};

void readHeaders(const BudgetQuery& q, DataPacket& out) {
    std::vector<Variant> params;
    const std::string where = q.versionWhere(params);
    QueryResult heads = q.db.query("SELECT NRANOORCAOP, CDVERSORCAOP, CDFILIAL, CDOPERADOR, "
                                   "DTORCAMENTO, IDSTATUSORCA FROM ORCAMENTOFILIAL" +
                                       where + " ORDER BY CDFILIAL",
                                   params);
    PacketBuilder bp = branchPacket();
    bp.bind(heads);
    const int bName = bp.fieldIndex("NMFILIAL"), bAccess = bp.fieldIndex("IDACESSOCALC");
    const std::size_t cBranch = heads.column("CDFILIAL");
    for (std::size_t r = 0; r < heads.size(); ++r) {
        const VisibleBranch* b = q.branchOf(heads.rows[r][cBranch]);
        if (!b) continue;
        bp.append(out, heads, r);
        out.rows.back()[static_cast<std::size_t>(bName)] = Variant(b->name);
        out.rows.back()[static_cast<std::size_t>(bAccess)] = textOrNull(b->calcAccess);
    }
}

// Items of every type letter, split over the three datasets: billing and consumption, fees,
// and the other items with the names of their codes.
void readItems(const BudgetQuery& q, Budget& out) {
    const Lookup opTypes = lookup(q.db, "SELECT CDTIPOOPER, NMTIPOOPER FROM TIPOOPER");
    const Lookup labour = lookup(q.db, "SELECT CDDESPADMFAT, DSDESPADMFAT FROM DESPADMFAT");
    const Lookup expenses = lookup(q.db, "SELECT CDDESPPREV, NMDESPPREV FROM DESPPREV");
    const Lookup taxes = lookup(q.db, "SELECT CDIMPOSTO, SGIMPOSTO FROM IMPOSTO");
    std::vector<Variant> params;
    const std::string where = q.versionWhere(params);
    PacketBuilder fp = fatConsPacket(), ip = itemPacket(), tp = feePacket();
    auto at = [](DataPacket& p, int field) -> Variant& {
        return p.rows.back()[static_cast<std::size_t>(field)];
    };
    const int fName = fp.fieldIndex("NMFILIAL"), fAccess = fp.fieldIndex("IDACESSOCALC"),
              fMode = fp.fieldIndex("IDCALCOMESTORC"), fTotal = fp.fieldIndex("TOTAL");
    const int iName = ip.fieldIndex("NMFILIAL"), iAccess = ip.fieldIndex("IDACESSOCALC"),
              iAprov = ip.fieldIndex("IDACESSOAPROV"), iOp = ip.fieldIndex("NMTIPOOPER"),
              iLabour = ip.fieldIndex("DSDESPADMFAT"), iExp = ip.fieldIndex("NMDESPPREV"),
              iTax = ip.fieldIndex("SGIMPOSTO"), iSum = ip.fieldIndex("SOMAT");
    const int tBase = tp.fieldIndex("DTMESBASEITEM"), tName = tp.fieldIndex("NMFILIAL"),
              tAccess = tp.fieldIndex("IDACESSOCALC"), tAprov = tp.fieldIndex("IDACESSOAPROV"),
              tSum = tp.fieldIndex("SOMAT");
    // Bound at the first row, when the columns are known.
    bool bound = false;
    std::size_t cBranch = 0, cType = 0, cBase = 0, cOpType = 0, cLabour = 0, cExpense = 0, cTax = 0;
    std::size_t cMonth[12] = {};
    // Rows come ordered by branch: one lookup per branch, not per row.
    std::string lastCode;
    const VisibleBranch* b = nullptr;
    Variant branchName; // one shared text for all the branch's rows
    // Each row goes straight into its packet, built while the next rows are read: the query's
    // rows are never all held at once.
    RowPipeline::forEachRow(
        q.db,
        "SELECT " + itemColumns() + " FROM ITEMORCAMENTO" + where +
            " ORDER BY CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA",
        params, [&](const QueryResult& items, std::vector<Variant>& row) {
            if (!bound) {
                fp.bind(items);
                ip.bind(items);
                tp.bind(items);
                cBranch = items.column("CDFILIAL");
                cType = items.column("IDTIPOORCAOP");
                cBase = items.column("DTMESBASEITEM");
                cOpType = items.column("CDTIPOOPER");
                cLabour = items.column("CDDESPADMFAT");
                cExpense = items.column("CDDESPPREV");
                cTax = items.column("CDIMPOSTO");
                for (int m = 1; m <= 12; ++m)
                    cMonth[m - 1] = items.column(monthColumn("VRORCAMENTO", m));
                bound = true;
            }
            if (row[cBranch].type() != VarType::Text) return;
            if (row[cBranch].textView() != lastCode) {
                lastCode = row[cBranch].textView();
                b = q.branchOf(row[cBranch]);
                if (b) branchName = Variant(b->name);
            }
            if (!b) return;
            const Variant& typeCell = row[cType];
            const char type = typeCell.type() == VarType::Text && !typeCell.textView().empty()
                                  ? typeCell.textView()[0]
                                  : ' ';
            const double total = monthSum(row, cMonth);
            if (type == 'F' || type == 'C') {
                fp.take(out.fatCons, row);
                at(out.fatCons, fName) = branchName;
                at(out.fatCons, fAccess) = textOrNull(b->calcAccess);
                at(out.fatCons, fMode) = textOrNull(b->calcMode);
                at(out.fatCons, fTotal) = Variant(total);
            } else if (type == 'T') {
                const Variant base = Variant(PacketBuilder::formatDate(row[cBase]));
                tp.take(out.fees, row);
                at(out.fees, tBase) = base;
                at(out.fees, tName) = branchName;
                at(out.fees, tAccess) = textOrNull(b->calcAccess);
                at(out.fees, tAprov) = textOrNull(b->approvalAccess);
                at(out.fees, tSum) = Variant(total);
            } else {
                Variant names[4] = {findIn(opTypes, row[cOpType]), findIn(labour, row[cLabour]),
                                    findIn(expenses, row[cExpense]), findIn(taxes, row[cTax])};
                ip.take(out.items, row);
                at(out.items, iName) = branchName;
                at(out.items, iAccess) = textOrNull(b->calcAccess);
                at(out.items, iAprov) = textOrNull(b->approvalAccess);
                at(out.items, iOp) = std::move(names[0]);
                at(out.items, iLabour) = std::move(names[1]);
                at(out.items, iExp) = std::move(names[2]);
                at(out.items, iTax) = std::move(names[3]);
                at(out.items, iSum) = Variant(total);
            }
        });
}

// Working days of the year, as the texts the read-only grids show.
void readWorkingDays(const BudgetQuery& q, DataPacket& out) {
    std::vector<Variant> params{Variant(q.year)};
    std::string sql = "SELECT CDFILIAL";
    for (int m = 1; m <= 12; ++m)
        sql += ", " + monthColumn("NDIAUTIL", m);
    sql += " FROM DIAUTILFILIAL WHERE NRANOORCAOP = ?" +
           branchClause(q.selected, q.restricted, params) + " ORDER BY CDFILIAL";
    QueryResult days = q.db.query(sql, params);
    const std::size_t cBranch = days.column("CDFILIAL");
    std::size_t cMonth[12];
    for (int m = 1; m <= 12; ++m)
        cMonth[m - 1] = days.column(monthColumn("NDIAUTIL", m));
    for (const auto& row : days.rows) {
        const Variant& code = row[cBranch];
        if (!q.branchOf(code)) continue;
        std::vector<Variant> cells{code};
        for (std::size_t c : cMonth)
            cells.push_back(PacketBuilder::convert(FieldType::String, row[c]));
        out.rows.push_back(std::move(cells));
    }
}

// Result parameters of the branches.
void readResultParams(const BudgetQuery& q, DataPacket& out) {
    std::vector<Variant> params;
    const std::string sql =
        "SELECT CDFILIAL, IDFATUROP, IDDETALHEFATUR FROM PARDROFILIAL WHERE 1 = 1" +
        branchClause(q.selected, q.restricted, params) + " ORDER BY CDFILIAL";
    QueryResult dr = q.db.query(sql, params);
    PacketBuilder dp = resultParamsPacket();
    dp.bind(dr);
    const std::size_t cBranch = dr.column("CDFILIAL");
    for (std::size_t r = 0; r < dr.size(); ++r)
        if (q.branchOf(dr.rows[r][cBranch])) dp.append(out, dr, r);
}

Budget loadBudget(Database& db, const std::string& operatorCode, const std::string& year,
                  int version, const CodeList lists[4]) {
    BudgetAccess access(db, operatorCode);
    if (!access.versionExists(year, version))
        throw RpcError("Versão " + std::to_string(version) + " do ano " + year +
                       " não cadastrada.");
    const auto selected = access.select(lists[0], lists[1], lists[2], lists[3]);
    // Long IN lists cost more than dropping rows while reading.
    const bool filtered = !lists[0].all() || !lists[1].all() || !lists[2].all() || !lists[3].all();
    const BudgetQuery query{db, year, version, selected, filtered && selected.size() <= 500};

    Budget out{branchPacket().empty(),      fatConsPacket().empty(),      itemPacket().empty(),
               workingDaysPacket().empty(), resultParamsPacket().empty(), feePacket().empty()};
    if (selected.empty()) return out;
    readHeaders(query, out.branches);
    readItems(query, out);
    readWorkingDays(query, out.workingDays);
    readResultParams(query, out.drParams);
    return out;
}

Variant getDadosOrcamento(CallContext& call) {
    const std::string year = BudgetAccess::checkYear(call.arg(0));
    const int version = call.integer(1);
    call.requireSelf(2);
    const CodeList lists[4] = {CodeList::parse(call.text(3), "filiais"),
                               CodeList::parse(call.text(4), "agrupamentos de filiais"),
                               CodeList::parse(call.text(5), "regiões"),
                               CodeList::parse(call.text(6), "segmentos")};
    Budget b = call.store.read(
        [&](Database& db) { return loadBudget(db, call.operatorCode, year, version, lists); });
    return Variant(
        std::vector<Variant>{Variant(std::move(b.branches)), Variant(std::move(b.fatCons)),
                             Variant(std::move(b.items)), Variant(std::move(b.workingDays)),
                             Variant(std::move(b.drParams)), Variant(std::move(b.fees))});
}

} // namespace

void registerBudgetLoad(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "GetDadosOrcamento",
                 {K::Text, K::Integer, K::Text, K::Text, K::Text, K::Text, K::Text},
                 getDadosOrcamento);
}

} // namespace srv
