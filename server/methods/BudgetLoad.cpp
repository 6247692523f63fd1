// GetDadosOrcamento: the whole budget of a year and version as the six packets the main screen
// loads, restricted to the branches the operator sees and the four filter lists select.
#include "server/methods/BudgetAccess.h"
#include "server/methods/Methods.h"
#include "server/methods/PacketBuilder.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"

#include <map>

namespace srv {

namespace {

using K = ParamKind;
using Lookup = std::map<std::string, Variant, std::less<>>;

std::string textOf(const Variant& v) {
    return v.isNull() ? std::string() : v.toText();
}

Lookup lookup(Database& db, const char* sql) {
    Lookup out;
    for (const auto& row : db.query(sql).rows)
        out.emplace(textOf(row[0]), row[1].isNull() || textOf(row[1]).empty() ? Variant() : row[1]);
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

double monthSum(const std::vector<Variant>& row, int firstMonthColumn) {
    double total = 0;
    for (int m = 0; m < 12; ++m) {
        const Variant& v = row[static_cast<std::size_t>(firstMonthColumn + m)];
        if (!v.isNull()) total += v.toDouble();
    }
    return total;
}

// The part of a WHERE clause that limits rows to a set of branches, or nothing when every
// visible branch is selected (rows of other branches are dropped while reading).
std::string branchClause(const std::map<std::string, VisibleBranch>& selected, bool restricted,
                         std::vector<Variant>& params) {
    if (!restricted) return {};
    std::string sql = " AND CDFILIAL IN (";
    bool first = true;
    for (const auto& [code, b] : selected) {
        sql += first ? "?" : ", ?";
        first = false;
        params.emplace_back(code);
    }
    return sql + ")";
}

struct Budget {
    DataPacket branches, fatCons, items, workingDays, drParams, fees;
};

Budget loadBudget(Database& db, const std::string& operatorCode, const std::string& year,
                  int version, const CodeList lists[4]) {
    BudgetAccess access(db, operatorCode);
    if (!access.versionExists(year, version))
        throw RpcError("Versão " + std::to_string(version) + " do ano " + year +
                       " não cadastrada.");
    const auto selected = access.select(lists[0], lists[1], lists[2], lists[3]);
    // Long IN lists cost more than dropping rows while reading.
    const bool filtered = !lists[0].all() || !lists[1].all() || !lists[2].all() || !lists[3].all();
    const bool restricted = filtered && selected.size() <= 500;

    PacketBuilder bp = branchPacket(), fp = fatConsPacket(), ip = itemPacket(), tp = feePacket();
    Budget out{bp.empty(), fp.empty(), ip.empty(), {}, {}, tp.empty()};
    PacketBuilder wp;
    wp.text("CDFILIAL", 4);
    for (int m = 1; m <= 12; ++m)
        wp.text(monthColumn("VRORCAMENTO", m), m == 3 ? 3 : 2);
    out.workingDays = wp.empty();
    PacketBuilder dp;
    dp.text("CDFILIAL", 4).text("IDFATUROP", 2).text("IDDETALHEFATUR", 1);
    out.drParams = dp.empty();
    if (selected.empty()) return out;

    auto branchOf = [&](const Variant& code) -> const VisibleBranch* {
        auto it = selected.find(textOf(code));
        return it == selected.end() ? nullptr : &it->second;
    };

    // Budget headers.
    std::vector<Variant> params{Variant(year), Variant(version)};
    std::string where =
        " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ?" + branchClause(selected, restricted, params);
    QueryResult heads = db.query("SELECT NRANOORCAOP, CDVERSORCAOP, CDFILIAL, CDOPERADOR, "
                                 "DTORCAMENTO, IDSTATUSORCA FROM ORCAMENTOFILIAL" +
                                     where + " ORDER BY CDFILIAL",
                                 params);
    bp.bind(heads);
    const int bName = bp.fieldIndex("NMFILIAL"), bAccess = bp.fieldIndex("IDACESSOCALC");
    for (std::size_t r = 0; r < heads.size(); ++r) {
        const VisibleBranch* b = branchOf(heads.rows[r][2]);
        if (!b) continue;
        bp.append(out.branches, heads, r);
        out.branches.rows.back()[static_cast<std::size_t>(bName)] = Variant(b->name);
        out.branches.rows.back()[static_cast<std::size_t>(bAccess)] = textOrNull(b->calcAccess);
    }

    // Items of every type letter, split over the three datasets.
    const Lookup opTypes = lookup(db, "SELECT CDTIPOOPER, NMTIPOOPER FROM TIPOOPER");
    const Lookup labour = lookup(db, "SELECT CDDESPADMFAT, DSDESPADMFAT FROM DESPADMFAT");
    const Lookup expenses = lookup(db, "SELECT CDDESPPREV, NMDESPPREV FROM DESPPREV");
    const Lookup taxes = lookup(db, "SELECT CDIMPOSTO, SGIMPOSTO FROM IMPOSTO");
    QueryResult items = db.query("SELECT " + itemColumns() + " FROM ITEMORCAMENTO" + where +
                                     " ORDER BY CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA",
                                 params);
    const int firstMonth = items.columnIndex("VRORCAMENTOJAN");
    fp.bind(items);
    ip.bind(items);
    tp.bind(items);
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
    const int cType = items.columnIndex("IDTIPOORCAOP"), cBase = items.columnIndex("DTMESBASEITEM");
    // Rows come ordered by branch: one lookup per branch, not per row.
    std::string lastCode;
    const VisibleBranch* b = nullptr;
    for (std::size_t r = 0; r < items.size(); ++r) {
        auto& row = items.rows[r];
        if (row[2].type() != VarType::Text) continue;
        if (row[2].textView() != lastCode) {
            lastCode = row[2].textView();
            auto it = selected.find(lastCode);
            b = it == selected.end() ? nullptr : &it->second;
        }
        if (!b) continue;
        const Variant& typeCell = row[static_cast<std::size_t>(cType)];
        const char type = typeCell.type() == VarType::Text && !typeCell.textView().empty()
                              ? typeCell.textView()[0]
                              : ' ';
        const double total = monthSum(row, firstMonth);
        if (type == 'F' || type == 'C') {
            fp.take(out.fatCons, items, r);
            at(out.fatCons, fName) = Variant(b->name);
            at(out.fatCons, fAccess) = textOrNull(b->calcAccess);
            at(out.fatCons, fMode) = textOrNull(b->calcMode);
            at(out.fatCons, fTotal) = Variant(total);
        } else if (type == 'T') {
            const Variant base =
                Variant(PacketBuilder::formatDate(row[static_cast<std::size_t>(cBase)]));
            tp.take(out.fees, items, r);
            at(out.fees, tBase) = base;
            at(out.fees, tName) = Variant(b->name);
            at(out.fees, tAccess) = textOrNull(b->calcAccess);
            at(out.fees, tAprov) = textOrNull(b->approvalAccess);
            at(out.fees, tSum) = Variant(total);
        } else {
            Variant names[4] = {findIn(opTypes, row[6]), findIn(labour, row[7]),
                                findIn(expenses, row[8]), findIn(taxes, row[9])};
            ip.take(out.items, items, r);
            at(out.items, iName) = Variant(b->name);
            at(out.items, iAccess) = textOrNull(b->calcAccess);
            at(out.items, iAprov) = textOrNull(b->approvalAccess);
            at(out.items, iOp) = std::move(names[0]);
            at(out.items, iLabour) = std::move(names[1]);
            at(out.items, iExp) = std::move(names[2]);
            at(out.items, iTax) = std::move(names[3]);
            at(out.items, iSum) = Variant(total);
        }
    }

    // Working days of the year, as the texts the read-only grids show.
    std::vector<Variant> dayParams{Variant(year)};
    std::string daySql = "SELECT CDFILIAL";
    for (int m = 1; m <= 12; ++m)
        daySql += ", " + monthColumn("NDIAUTIL", m);
    daySql += " FROM DIAUTILFILIAL WHERE NRANOORCAOP = ?" +
              branchClause(selected, restricted, dayParams) + " ORDER BY CDFILIAL";
    QueryResult days = db.query(daySql, dayParams);
    for (const auto& row : days.rows) {
        if (!branchOf(row[0])) continue;
        std::vector<Variant> cells{row[0]};
        for (std::size_t m = 1; m <= 12; ++m)
            cells.push_back(PacketBuilder::convert(FieldType::String, row[m]));
        out.workingDays.rows.push_back(std::move(cells));
    }

    // Result parameters of the branches.
    std::vector<Variant> drParams;
    std::string drSql = "SELECT CDFILIAL, IDFATUROP, IDDETALHEFATUR FROM PARDROFILIAL WHERE 1 = 1" +
                        branchClause(selected, restricted, drParams) + " ORDER BY CDFILIAL";
    QueryResult dr = db.query(drSql, drParams);
    dp.bind(dr);
    for (std::size_t r = 0; r < dr.size(); ++r)
        if (branchOf(dr.rows[r][0])) dp.append(out.drParams, dr, r);
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
