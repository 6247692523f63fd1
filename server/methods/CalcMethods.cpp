// The calculation orders of the main screen: taxes (CalculaImpos), administrative fee
// (SetTxAdm), depreciation (calculaDeprec) and effecting (Efetivar). Each writes in one
// transaction; a refusal writes nothing.
#include "server/calc/BudgetEffecting.h"
#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"
#include "server/calc/DepreciationCalculation.h"
#include "server/calc/FeeCalculation.h"
#include "server/calc/SelectedRows.h"
#include "server/calc/TaxCalculation.h"
#include "server/methods/CodeList.h"
#include "server/methods/GroupCommit.h"
#include "server/methods/Methods.h"
#include "server/methods/WriteCalls.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/Store.h"

#include <cctype>
#include <functional>

namespace srv {

namespace {

using K = ParamKind;

const DataPacket& packetArg(CallContext& call, std::size_t index, const char* method) {
    if (call.arg(index).type() != VarType::Packet)
        throw RpcError(std::string(method) + ": o primeiro argumento deve ser um pacote de dados.",
                       RpcError::BadRequest);
    return call.arg(index).packet();
}

int versionOf(const std::string& text) {
    bool digits = !text.empty() && text.size() <= 9;
    for (char c : text)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (!digits) throw RpcError("Versão inválida: \"" + text + "\".", RpcError::BadRequest);
    return std::stoi(text);
}

DataPacket outcome(const std::string& result, int count, const std::string& message = "") {
    DataPacket answer;
    answer.fields = {{"Retorno", FieldType::String, 10},
                     {"QTITENS", FieldType::Integer, 0},
                     {"MENSAGEM", FieldType::String, 250}};
    answer.rows.push_back({Variant(result), Variant(count), Variant(message)});
    return answer;
}

// The client loads this answer without checking it: a refusal comes back as "Erro" with its
// reason, never as a failed call.
Variant calculaImpos(CallContext& call) {
    const DataPacket& branches = packetArg(call, 0, "CalculaImpos");
    const std::string year = BudgetAccess::checkYear(call.arg(1));
    const int version = versionOf(call.text(2));
    const std::string kind = call.text(3);
    if (kind != "F" && kind != "C")
        throw RpcError("CalculaImpos: tipo de cálculo inválido \"" + kind + "\" (esperado F ou C).",
                       RpcError::BadRequest);
    std::vector<std::string> checked;
    for (const SelectedRow& r : selectedRows(branches, kind == "F" ? "IDCHECKI" : "IDCHECKR"))
        checked.push_back(r.branch);
    if (checked.empty()) return outcome("Erro", 0, "Filial a calcular deve ser informada.");

    std::vector<std::string> failed;
    int written = 0;
    try {
        written = runWrite(call, [&](Database& db) {
            CalcGuard guard(db, call.operatorCode, year, version);
            TaxCalculation::Outcome o =
                TaxCalculation(db, guard, year, version, kind[0]).run(checked);
            failed = std::move(o.failed);
            return o.written;
        });
    } catch (const RpcError& e) {
        if (e.status() != RpcError::Refused) throw;
        return outcome("Erro", 0, e.message());
    }
    if (failed.empty()) return outcome("OK", written);
    std::string names;
    for (const std::string& b : failed)
        names += (names.empty() ? "" : ", ") + b;
    return outcome("Erro", written,
                   "Filiais sem imposto cadastrado ou sem permissão: " + names + ".");
}

Variant setTxAdm(CallContext& call) {
    const std::string year = BudgetAccess::checkYear(call.arg(2));
    const int version = call.integer(3);
    call.requireSelf(4);
    std::vector<SelectedRow> rows;
    // Unchanged fee rows come as null: none of them is checked.
    if (!call.arg(0).isNull()) rows = selectedRows(packetArg(call, 0, "SetTxAdm"), "IDCHECK");
    const std::string periodKind = call.text(9);
    const Variant start = call.arg(10), end = call.arg(11);
    const int written = runWrite(call, [&](Database& db) {
        CalcGuard guard(db, call.operatorCode, year, version);
        const CalcPeriod period(std::stoi(year), guard.firstMonth(), periodKind, start, end);
        return FeeCalculation(db, guard, year, version, period).run(rows);
    });
    call.arg(0) = Variant();
    return outcome("OK", written);
}

Variant calculaDeprec(CallContext& call) {
    const DataPacket& items = packetArg(call, 0, "calculaDeprec");
    call.requireSelf(4);
    const std::vector<SelectedRow> rows = selectedRows(items, "IDCHECK", "P");
    if (rows.empty()) throw RpcError("Nenhuma filial foi selecionada para a importação");
    std::string year;
    int version = 0;
    packetBudget(items, year, version);
    const std::string periodKind = call.text(1);
    const Variant start = call.arg(2), end = call.arg(3);
    const int written = runWrite(call, [&](Database& db) {
        CalcGuard guard(db, call.operatorCode, year, version);
        const CalcPeriod period(std::stoi(year), guard.firstMonth(), periodKind, start, end);
        return DepreciationCalculation(db, guard, year, version, period).run(rows);
    });
    return outcome("OK", written);
}

Variant efetivar(CallContext& call) {
    const CodeList branches = CodeList::parse(call.text(0), "filiais");
    if (branches.all() || branches.codes().empty())
        throw RpcError("Efetivar: informe as filiais a efetivar.", RpcError::BadRequest);
    const std::string letter = call.text(1);
    if (letter != "T" &&
        (letter.size() != 1 || std::string("FICOTMDERSNP").find(letter) == std::string::npos))
        throw RpcError("Efetivar: tipo de item inválido \"" + letter + "\".", RpcError::BadRequest);
    const std::string year = BudgetAccess::checkYear(call.arg(2));
    const int version = call.integer(3);
    const int effected = runWrite(call, [&](Database& db) {
        CalcGuard guard(db, call.operatorCode, year, version);
        return BudgetEffecting(db, guard, year, version).run(branches.codes(), letter);
    });
    return outcome("OK", effected);
}

} // namespace

void registerCalcMethods(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "CalculaImpos", {K::Any, K::Text, K::Text, K::Text},
                 calculaImpos);
    registry.add(kModuleCalcOrcaOper, "SetTxAdm",
                 {K::Any, K::Text, K::Text, K::Integer, K::Text, K::Text, K::Boolean, K::Boolean,
                  K::Any, K::Text, K::Date, K::Date},
                 setTxAdm);
    registry.add(kModuleCalcOrcaOper, "calculaDeprec", {K::Any, K::Text, K::Date, K::Date, K::Text},
                 calculaDeprec);
    registry.add(kModuleCalcOrcaOper, "Efetivar", {K::Text, K::Text, K::Text, K::Integer},
                 efetivar);
}

} // namespace srv
