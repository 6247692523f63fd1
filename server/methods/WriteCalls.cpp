#include "server/methods/WriteCalls.h"

#include "server/methods/GroupCommit.h"
#include "server/rpc/CallContext.h"
#include "server/store/Store.h"

namespace srv {

int runWrite(CallContext& call, const std::function<int(Database&)>& work) {
    return call.writes ? call.writes->run(work) : call.store.transaction(work);
}

DataPacket writtenAnswer(int written) {
    DataPacket answer;
    answer.fields = {{"Retorno", FieldType::String, 10}, {"QTITENS", FieldType::Integer, 0}};
    answer.rows.push_back({Variant("OK"), Variant(written)});
    return answer;
}

} // namespace srv
