// Module parameters and budget versions: GetParametro, TpDespLanEnt, GetMaiorVersao, GetVersao.
#include "server/methods/BudgetAccess.h"
#include "server/methods/Methods.h"
#include "server/methods/PacketBuilder.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/Store.h"

#include <cmath>
#include <cstdio>

namespace srv {

namespace {

using K = ParamKind;

std::string twoDigits(const Variant& v) {
    if (v.isNull()) return {};
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v.toInt());
    return buf;
}

Variant getParametro(CallContext& call) {
    QueryResult r = call.store.read([](Database& db) {
        return db.query("SELECT IDTIPOSIMULARESULTFAT, IDORCDESPENTROP FROM PARAMORCAOPERAC "
                        "ORDER BY CDPARAMETRO");
    });
    PacketBuilder p;
    p.text("IDTIPOSIMULARESULTFAT", 30).text("IDORCDESPENTROP", 1);
    return p.build(r);
}

Variant tpDespLanEnt(CallContext& call) {
    QueryResult r = call.store.read([](Database& db) {
        return db.query("SELECT IDORCDESPENTROP FROM PARAMORCAOPERAC ORDER BY CDPARAMETRO");
    });
    PacketBuilder p;
    p.text("IDORCDESPENTROP", 1);
    return p.build(r);
}

Variant getMaiorVersao(CallContext& call) {
    const std::string year = BudgetAccess::checkYear(call.arg(0));
    QueryResult r = call.store.read([&](Database& db) {
        return db.query("SELECT CDVERSAOORCA, NRMESINIVERORC FROM VERSAOORCA WHERE CDANOVERORCA "
                        "= ? ORDER BY CDVERSAOORCA DESC LIMIT 1",
                        {Variant(year)});
    });
    PacketBuilder p;
    p.number("CDVERSAOORCA").text("NRMESINIVERORC", 2);
    DataPacket packet = p.build(r);
    for (auto& row : packet.rows)
        row[1] = Variant(twoDigits(r.rows[0][1]));
    return packet;
}

Variant getVersao(CallContext& call) {
    const std::string year = BudgetAccess::checkYear(call.arg(0));
    const std::string kind = call.text(2);
    const bool allVersions = kind == "T";
    if (!allVersions && !kind.empty())
        throw RpcError("GetVersao: tipo de consulta inválido \"" + kind +
                           "\" (vazio para uma versão, \"T\" para todas).",
                       RpcError::BadRequest);
    const double version = call.number(1);
    // A fractional or out-of-range version never exists.
    const bool plausible = version == std::floor(version) && std::fabs(version) < 1e9;
    QueryResult r = call.store.read([&](Database& db) {
        const std::string sql = "SELECT CDANOVERORCA, CDVERSAOORCA, NRMESINIVERORC, DATAINI, "
                                "DATAFIN FROM VERSAOORCA WHERE CDANOVERORCA = ?";
        if (allVersions) return db.query(sql + " ORDER BY CDVERSAOORCA", {Variant(year)});
        return db.query(sql + " AND CDVERSAOORCA = ?",
                        {Variant(year), Variant(plausible ? static_cast<int>(version) : -1)});
    });
    PacketBuilder p;
    p.text("CDANOVERORCA", 4)
        .text("CDVERSAOORCA", 40)
        .text("NRMESINIVERORC", 2)
        .date("DATAINI")
        .date("DATAFIN");
    DataPacket packet = p.build(r);
    for (std::size_t i = 0; i < packet.rows.size(); ++i)
        packet.rows[i][2] = Variant(twoDigits(r.rows[i][2]));
    return packet;
}

} // namespace

void registerReferenceMethods(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "GetParametro", {}, getParametro);
    registry.add(kModuleCalcOrcaOper, "TpDespLanEnt", {}, tpDespLanEnt);
    registry.add(kModuleCalcOrcaOper, "GetMaiorVersao", {K::Text}, getMaiorVersao);
    registry.add(kModuleCalcOrcaOper, "GetVersao", {K::Text, K::Double, K::Text}, getVersao);
}

} // namespace srv
