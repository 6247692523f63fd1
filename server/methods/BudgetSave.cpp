// SetItensOrcFatCons: saves of the main screen (kinds "N" and "T") and the billing and
// consumption calculations from the base month (kinds "F" and "C").
#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"
#include "server/calc/MonthBaseCalculation.h"
#include "server/methods/BudgetAccess.h"
#include "server/methods/DeltaWriter.h"
#include "server/methods/GroupCommit.h"
#include "server/methods/Methods.h"
#include "server/methods/PacketBuilder.h"
#include "server/methods/WriteCalls.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/Store.h"
#include "services/data/BlankTrim.h"

namespace srv {

namespace {

using K = ParamKind;

// The lines of `kind` the request marks for calculation: rows of its delta with the mark "P".
MonthBaseCalculation::LineKeys markedLines(const Variant& changes, const std::string& kind) {
    MonthBaseCalculation::LineKeys keys;
    if (changes.type() != VarType::Packet) return keys;
    const DataPacket& delta = changes.packet();
    const int branch = delta.fieldIndex("CDFILIAL");
    const int type = delta.fieldIndex("IDTIPOORCAOP");
    const int seq = delta.fieldIndex("NRSEQITEMORCA");
    const int mark = delta.fieldIndex("IDITEMCALCORCA");
    if (branch < 0 || type < 0 || seq < 0 || mark < 0) return keys;
    for (const auto& row : delta.rows)
        if (textTrimmedRight(row[std::size_t(type)]) == kind &&
            textTrimmedRight(row[std::size_t(mark)]) == "P")
            keys.emplace(textTrimmedRight(row[std::size_t(branch)]),
                         textTrimmedRight(row[std::size_t(seq)]));
    return keys;
}

Variant setItensOrcFatCons(CallContext& call) {
    const std::string kind = call.text(1);
    const std::string year = BudgetAccess::checkYear(call.arg(2));
    const int version = call.integer(3);
    call.requireSelf(4);
    const bool calculation = kind == "F" || kind == "C";
    if (!calculation && kind != "N" && kind != "T")
        throw RpcError("SetItensOrcFatCons: tipo de gravação inválido \"" + kind +
                           "\" (esperado N, T, F ou C).",
                       RpcError::BadRequest);
    const Variant& changes = call.arg(0);
    if (!changes.isNull() && changes.type() != VarType::Packet)
        throw RpcError("SetItensOrcFatCons: as alterações devem ser um pacote de dados ou nulo.",
                       RpcError::BadRequest);

    int written = 0;
    if (calculation) {
        // The marks and any other pending change are saved with the calculation, in one
        // transaction: a refusal of either leaves both unwritten.
        const std::string periodKind = call.text(9);
        const Variant start = call.arg(10);
        const Variant end = call.arg(11);
        const std::function<int(Database&)> calculate = [&](Database& db) {
            CalcGuard guard(db, call.operatorCode, year, version);
            if (!changes.isNull())
                DeltaWriter(db, call.operatorCode, year, version, false).apply(changes.packet());
            const CalcPeriod period(std::stoi(year), guard.firstMonth(), periodKind, start, end);
            return MonthBaseCalculation(db, guard, year, version, kind[0], period,
                                        markedLines(changes, kind))
                .run();
        };
        written = runWrite(call, calculate);
    } else if (changes.isNull()) {
        // Nothing to write; the version must still exist so that a wrong one is reported.
        call.store.read([&](Database& db) {
            BudgetAccess access(db, call.operatorCode);
            if (!access.versionExists(year, version))
                throw RpcError("Versão " + std::to_string(version) + " do ano " + year +
                               " não cadastrada.");
        });
    } else {
        const DataPacket& delta = changes.packet();
        const std::function<int(Database&)> save = [&](Database& db) {
            return DeltaWriter(db, call.operatorCode, year, version, kind == "T").apply(delta);
        };
        written = runWrite(call, save);
    }
    // The caller never reads the delta back: answering it empty spares sending it twice.
    call.arg(0) = Variant();

    return writtenAnswer(written);
}

} // namespace

void registerBudgetSave(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "SetItensOrcFatCons",
                 {K::Any, K::Text, K::Text, K::Integer, K::Text, K::Text, K::Boolean, K::Boolean,
                  K::Any, K::Text, K::Date, K::Date},
                 setItensOrcFatCons);
}

} // namespace srv
