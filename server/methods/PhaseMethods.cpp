// The operator's budget phase of a year, behind the client's phase check.
#include "server/methods/BudgetAccess.h"
#include "server/methods/Methods.h"
#include "server/methods/PacketBuilder.h"
#include "server/rpc/MethodRegistry.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"

namespace srv {

namespace {

using K = ParamKind;

Variant verificaFaseOperador(CallContext& call) {
    call.requireSelf(0);
    const std::string year = BudgetAccess::checkYear(call.arg(1));
    std::string sql = "SELECT o.CDOPERADOR, o.CDGRUPGERENTEOP, f.IDFASECALCORCA, "
                      "f.IDFASEAPROVORCA, f.NMFASEORCOPERAC";
    for (int m = 1; m <= 12; ++m)
        sql += ", f." + monthColumn("IDPERMCALC", m);
    sql += " FROM OPERADORFASE o JOIN FASEORCOPERAC f ON f.CDFASEORCOPERAC = o.CDFASEORCOPERAC "
           "WHERE o.NRANOORCAOP = ? AND o.CDOPERADOR = ?";
    QueryResult r = call.store.read([&](Database& db) {
        return db.query(sql, {Variant(year), Variant(call.operatorCode)});
    });
    PacketBuilder p;
    p.text("CDOPERADOR", 12).text("CDGRUPGERENTEOP", 10).text("IDFASECALCORCA", 1);
    p.text("IDFASEAPROVORCA", 1).text("NMFASEORCOPERAC", 100);
    for (int m = 1; m <= 12; ++m)
        p.text(monthColumn("IDPERMCALC", m), 1);
    return p.build(r);
}

} // namespace

void registerPhaseMethods(MethodRegistry& registry) {
    registry.add(kModuleGestaoOperac, "VerificaFaseOperador", {K::Text, K::Text},
                 verificaFaseOperador);
}

} // namespace srv
