#include "server/calc/SelectedRows.h"

#include "server/methods/BudgetAccess.h"
#include "server/rpc/RpcError.h"
#include "services/data/BlankTrim.h"

namespace srv {

std::vector<SelectedRow> selectedRows(const DataPacket& packet, const std::string& checkField,
                                      const std::string& type) {
    const int branch = packet.fieldIndex("CDFILIAL");
    const int check = packet.fieldIndex(checkField);
    if (branch < 0 || check < 0)
        throw RpcError("O pacote enviado deve trazer CDFILIAL e " + checkField + ".",
                       RpcError::BadRequest);
    const int typeField = packet.fieldIndex("IDTIPOORCAOP");
    const int seqField = packet.fieldIndex("NRSEQITEMORCA");
    std::vector<SelectedRow> out;
    for (const auto& row : packet.rows) {
        const std::string mark = textTrimmed(row[std::size_t(check)]);
        if (mark != "S" && mark != "s") continue;
        SelectedRow s{textTrimmed(row[std::size_t(branch)]),
                      typeField < 0 ? std::string() : textTrimmed(row[std::size_t(typeField)]),
                      seqField < 0 ? std::string() : textTrimmed(row[std::size_t(seqField)])};
        if (!type.empty() && s.type != type) continue;
        out.push_back(std::move(s));
    }
    return out;
}

void packetBudget(const DataPacket& packet, std::string& year, int& version) {
    const int yearField = packet.fieldIndex("NRANOORCAOP");
    const int versionField = packet.fieldIndex("CDVERSORCAOP");
    if (yearField < 0 || versionField < 0)
        throw RpcError("O pacote enviado deve trazer NRANOORCAOP e CDVERSORCAOP.",
                       RpcError::BadRequest);
    year.clear();
    for (const auto& row : packet.rows) {
        const Variant& y = row[std::size_t(yearField)];
        const Variant& v = row[std::size_t(versionField)];
        if (y.isNull() || !v.isNumeric()) continue;
        const std::string rowYear = BudgetAccess::checkYear(y);
        if (!year.empty() && (rowYear != year || v.toInt() != version))
            throw RpcError("O pacote enviado mistura anos ou versões.", RpcError::BadRequest);
        year = rowYear;
        version = v.toInt();
    }
    if (year.empty())
        throw RpcError("O pacote enviado não traz ano e versão.", RpcError::BadRequest);
}

} // namespace srv
