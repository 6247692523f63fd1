#pragma once

#include "services/data/DataPacket.h"

#include <functional>

namespace srv {

struct CallContext;
class Database;

// Runs a method's writes in one transaction, shared with concurrent writes when the server
// groups its commits; returns what `work` returns and throws what it threw.
int runWrite(CallContext& call, const std::function<int(Database&)>& work);
// The answer of a write that went through: `Retorno` "OK" and `QTITENS`, the rows written.
DataPacket writtenAnswer(int written);

} // namespace srv
