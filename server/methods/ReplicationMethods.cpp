// What the replication dialog offers: the branches it may change and the items of a budget line.
#include "server/methods/BudgetAccess.h"
#include "server/methods/Methods.h"
#include "server/methods/PacketBuilder.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/Store.h"

#include <map>
#include <optional>

namespace srv {

namespace {

using K = ParamKind;

// The listed branches the operator sees. An empty list offers nothing: the client sends one
// when no row of the budget may be changed, and that must not widen to every branch.
std::map<std::string, VisibleBranch> listedBranches(BudgetAccess& access, const std::string& list,
                                                    const char* what) {
    if (list.empty()) return {};
    return access.select(CodeList::parse(list, what), CodeList(), CodeList(), CodeList());
}

Variant getListaFilRepl(CallContext& call) {
    const std::string list = call.text(0);
    PacketBuilder p;
    p.text("IDMARCADO", 1).text("CDFILIAL", 4).text("NMFILIAL", 30);
    DataPacket packet = p.empty();
    const auto branches = call.store.read([&](Database& db) {
        BudgetAccess access(db, call.operatorCode);
        return listedBranches(access, list, "filiais");
    });
    // Only branches the operator may calculate can take replicated values.
    for (const auto& [code, b] : branches)
        if (b.calcAccess == "S")
            packet.rows.push_back({Variant("N"), Variant(code), Variant(b.name)});
    return packet;
}

// Where the items of a budget line take their code and name from.
struct ItemSource {
    const char* codeColumn;
    const char* table;
    const char* nameColumn;
};

std::optional<ItemSource> itemSource(char letter, bool entriesByOperation) {
    switch (letter) {
    case 'O':
        return ItemSource{"CDDESPADMFAT", "DESPADMFAT", "DSDESPADMFAT"};
    case 'D':
    case 'M':
        return ItemSource{"CDDESPPREV", "DESPPREV", "NMDESPPREV"};
    case 'E':
        return entriesByOperation ? ItemSource{"CDTIPOOPER", "TIPOOPER", "NMTIPOOPER"}
                                  : ItemSource{"CDDESPPREV", "DESPPREV", "NMDESPPREV"};
    case 'I':
    case 'R':
        return ItemSource{"CDIMPOSTO", "IMPOSTO", "SGIMPOSTO"};
    default:
        return std::nullopt;
    }
}

Variant getListaItens(CallContext& call) {
    const std::string list = call.text(0);
    const std::string type = call.text(1);
    const std::string year = BudgetAccess::checkYear(call.arg(2));
    static const std::string kLetters = "FICOTMDERSNP";
    if (type.size() != 1 || kLetters.find(type[0]) == std::string::npos)
        throw RpcError("GetListaItens: tipo de item inválido \"" + type + "\".",
                       RpcError::BadRequest);
    PacketBuilder p;
    p.text("IDMARCADO", 1);
    for (const char* name : {"DSDESPADMFAT", "NMDESPPREV", "NMTIPOOPER", "SGIMPOSTO"})
        p.text(name, 40);
    p.text("CODIGO", 10);
    DataPacket packet = p.empty();
    // Code -> name of the items of the line in the listed branches, in code order.
    std::map<std::string, std::string> items;
    std::optional<ItemSource> source;
    call.store.read([&](Database& db) {
        BudgetAccess access(db, call.operatorCode);
        const auto branches = listedBranches(access, list, "filiais");
        const std::optional<int> version = access.latestVersion(year);
        if (branches.empty() || !version) return 0;
        bool byOperation = false;
        if (type == "E") {
            QueryResult r = db.query(
                "SELECT IDORCDESPENTROP FROM PARAMORCAOPERAC ORDER BY CDPARAMETRO LIMIT 1");
            byOperation = !r.empty() && r.rows[0][0].toText() == "O";
        }
        source = itemSource(type[0], byOperation);
        if (!source) return 0;
        const std::string sql = std::string("SELECT DISTINCT i.CDFILIAL, i.") + source->codeColumn +
                                ", SUBSTR(m." + source->nameColumn +
                                ", 1, 40) FROM ITEMORCAMENTO "
                                "i JOIN " +
                                source->table + " m ON m." + source->codeColumn + " = i." +
                                source->codeColumn +
                                " WHERE i.NRANOORCAOP = ? AND i.CDVERSORCAOP = ? AND "
                                "i.IDTIPOORCAOP = ?";
        QueryResult r = db.query(sql, {Variant(year), Variant(*version), Variant(type)});
        for (const auto& row : r.rows)
            if (branches.count(row[0].toText())) items.emplace(row[1].toText(), row[2].toText());
        return 0;
    });
    if (!source) return packet;
    const auto nameField = static_cast<std::size_t>(p.fieldIndex(source->nameColumn));
    const auto codeField = static_cast<std::size_t>(p.fieldIndex("CODIGO"));
    for (const auto& [code, name] : items) {
        std::vector<Variant> row(packet.fields.size(), Variant(""));
        row[0] = Variant("N");
        row[nameField] = Variant(name);
        row[codeField] = Variant(code);
        packet.rows.push_back(std::move(row));
    }
    return packet;
}

} // namespace

void registerReplicationMethods(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "GetListaFilRepl", {K::Text}, getListaFilRepl);
    registry.add(kModuleCalcOrcaOper, "GetListaItens", {K::Text, K::Text, K::Text}, getListaItens);
}

} // namespace srv
