// The labour budget dialog: the labour budgets offered (GetMaoObraOrcar) and the generation of
// the labour lines from the chosen ones (GeraOrcaMaoObra). The client loads both answers
// without checking them: refusals come back as answers.
#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"
#include "server/calc/LabourGeneration.h"
#include "server/calc/SelectedRows.h"
#include "server/methods/CodeList.h"
#include "server/methods/GroupCommit.h"
#include "server/methods/Methods.h"
#include "server/methods/WriteCalls.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/Store.h"

#include <functional>

namespace srv {

namespace {

using K = ParamKind;

const DataPacket& branchPacket(CallContext& call, std::size_t index, const char* method) {
    if (call.arg(index).type() != VarType::Packet)
        throw RpcError(std::string(method) + ": as filiais devem vir em um pacote de dados.",
                       RpcError::BadRequest);
    return call.arg(index).packet();
}

Variant getMaoObraOrcar(CallContext& call) {
    const DataPacket& packet = branchPacket(call, 0, "GetMaoObraOrcar");
    std::set<std::string> branches;
    const int field = packet.fieldIndex("CDFILIAL");
    if (field < 0)
        throw RpcError("GetMaoObraOrcar: o pacote deve trazer CDFILIAL.", RpcError::BadRequest);
    DataPacket answer;
    answer.fields = {{"IDMARCADO", FieldType::String, 1},
                     {"CDORCAMENTOMO", FieldType::String, 10},
                     {"DSORCAMENTOMO", FieldType::String, 40},
                     {"QTFUNCORCAMO", FieldType::Float, 0},
                     {"CHAVE", FieldType::String, 14}};
    call.store.read([&](Database& db) {
        BudgetAccess access(db, call.operatorCode);
        // Only the branches the operator sees, whatever the packet lists.
        for (const auto& row : packet.rows) {
            const std::string code =
                row[std::size_t(field)].isNull() ? std::string() : row[std::size_t(field)].toText();
            if (access.branch(code)) branches.insert(code);
        }
        for (const LabourBudget& b : LabourGeneration::budgets(db, branches))
            answer.rows.push_back({Variant("N"), Variant(b.code), Variant(b.description),
                                   Variant(b.headcount), Variant(b.key())});
        return 0;
    });
    return answer;
}

DataPacket retorno(const std::string& result, const std::string& message = "") {
    DataPacket answer;
    answer.fields = {{"Retorno", FieldType::String, 10}, {"MENSAGEM", FieldType::String, 250}};
    answer.rows.push_back({Variant(result), Variant(message)});
    return answer;
}

Variant geraOrcaMaoObra(CallContext& call) {
    const CodeList chosen = CodeList::parse(call.text(0), "orçamentos");
    const DataPacket& packet = branchPacket(call, 1, "GeraOrcaMaoObra");
    const std::string clear = call.text(2);
    if (clear != "S" && clear != "N")
        throw RpcError("GeraOrcaMaoObra: indicador de recarga inválido \"" + clear + "\".",
                       RpcError::BadRequest);
    // Here an empty kind is the date range of the dialog; "S" the complete period.
    const std::string periodKind = call.text(3) == "S" ? "S" : "N";
    const Variant start = call.arg(4), end = call.arg(5);
    call.requireSelf(8);
    if (chosen.all() || chosen.codes().empty())
        return retorno("Erro", "Lista de orçamentos deve ser informada.");
    std::set<std::string> checked;
    for (const SelectedRow& r : selectedRows(packet, "IDCHECKO"))
        checked.insert(r.branch);
    std::string year;
    int version = 0;
    packetBudget(packet, year, version);

    int generated = 0;
    try {
        const std::function<int(Database&)> work = [&](Database& db) {
            CalcGuard guard(db, call.operatorCode, year, version);
            const CalcPeriod period(std::stoi(year), guard.firstMonth(), periodKind, start, end);
            return LabourGeneration(db, guard, year, version, period)
                .run(chosen.codes(), checked, clear == "S");
        };
        generated = runWrite(call, work);
    } catch (const RpcError& e) {
        if (e.status() != RpcError::Refused) throw;
        return retorno("Erro", e.message());
    }
    return retorno(generated > 0 ? "OK" : "Nada");
}

} // namespace

void registerLabourMethods(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "GetMaoObraOrcar", {K::Any}, getMaoObraOrcar);
    registry.add(kModuleCalcOrcaOper, "GeraOrcaMaoObra",
                 {K::Text, K::Any, K::Text, K::Text, K::Date, K::Date, K::Date, K::Date, K::Text},
                 geraOrcaMaoObra);
}

} // namespace srv
