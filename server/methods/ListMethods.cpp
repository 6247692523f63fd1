// The lists of the calculation filter's pickers: branches, branch groups, regions, segments.
#include "server/methods/BudgetAccess.h"
#include "server/methods/Methods.h"
#include "server/methods/PacketBuilder.h"
#include "server/rpc/MethodRegistry.h"
#include "server/store/Store.h"

namespace srv {

namespace {

using K = ParamKind;

Variant getListaFilial(CallContext& call) {
    call.requireSelf(0);
    const CodeList groups = CodeList::parse(call.text(1), "agrupamentos de filiais");
    const CodeList regions = CodeList::parse(call.text(2), "regiões");
    PacketBuilder p;
    p.text("IDMARCADO", 1).text("CDFILIAL", 4).text("NMFILIAL", 30);
    DataPacket packet = p.empty();
    auto selected = call.store.read([&](Database& db) {
        return BudgetAccess(db, call.operatorCode).select(CodeList(), groups, regions, CodeList());
    });
    for (const auto& [code, b] : selected)
        packet.rows.push_back({Variant("N"), Variant(code), Variant(b.name)});
    return packet;
}

// Groups, regions or segments that hold at least one branch the operator sees.
Variant pickerList(CallContext& call, const std::string& sql, const char* codeField, int codeSize,
                   const char* nameField, int nameSize) {
    call.requireSelf(0);
    QueryResult r =
        call.store.read([&](Database& db) { return db.query(sql, {Variant(call.operatorCode)}); });
    PacketBuilder p;
    p.text("IDMARCADO", 1).constant(Variant("N"));
    p.text(codeField, codeSize).text(nameField, nameSize);
    return p.build(r);
}

Variant getListaAgrupFil(CallContext& call) {
    return pickerList(call,
                      "SELECT g.CDGRUPFILI, g.NMGRUPFILI FROM GRUPFILI g WHERE EXISTS (SELECT 1 "
                      "FROM FILIALGRUPO fg JOIN OPERADORFILIAL o ON o.CDFILIAL = fg.CDFILIAL "
                      "WHERE fg.CDGRUPFILI = g.CDGRUPFILI AND o.CDOPERADOR = ?) ORDER BY "
                      "g.CDGRUPFILI",
                      "CDGRUPFILI", 10, "NMGRUPFILI", 40);
}

Variant getListaReg(CallContext& call) {
    return pickerList(call,
                      "SELECT r.CDREGIAO, r.NMREGIAO FROM REGIAO r WHERE EXISTS (SELECT 1 FROM "
                      "FILIAL f JOIN OPERADORFILIAL o ON o.CDFILIAL = f.CDFILIAL WHERE "
                      "f.CDREGIAO = r.CDREGIAO AND o.CDOPERADOR = ?) ORDER BY r.CDREGIAO",
                      "CDREGIAO", 3, "NMREGIAO", 30);
}

Variant getListaSeg(CallContext& call) {
    return pickerList(call,
                      "SELECT s.CDSEGMER, s.DSSEGMER FROM SEGMER s WHERE EXISTS (SELECT 1 FROM "
                      "FILIAL f JOIN OPERADORFILIAL o ON o.CDFILIAL = f.CDFILIAL WHERE "
                      "f.CDSEGMER = s.CDSEGMER AND o.CDOPERADOR = ?) ORDER BY s.CDSEGMER",
                      "CDSEGMER", 5, "DSSEGMER", 40);
}

} // namespace

void registerListMethods(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "GetListaFilial", {K::Text, K::Text, K::Text, K::Text},
                 getListaFilial);
    registry.add(kModuleCalcOrcaOper, "GetListaAgrupFil", {K::Text}, getListaAgrupFil);
    registry.add(kModuleCalcOrcaOper, "GetListaReg", {K::Text}, getListaReg);
    registry.add(kModuleCalcOrcaOper, "GetListaSeg", {K::Text}, getListaSeg);
}

} // namespace srv
