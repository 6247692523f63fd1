#pragma once

#include "server/store/Database.h"

#include <string_view>
#include <vector>

namespace srv {

// Runs a query whose rows take long both to read and to use, with the two overlapped: the rows
// are read on the calling thread (which owns the connection) and handed, in order and in
// batches, to `each` on a thread of its own. `each` sees what it would see under
// Database::forEachRow and must not use the connection. An exception thrown on either side ends
// both and reaches the caller; when both throw, the reader's goes on.
class RowPipeline {
public:
    static void forEachRow(Database& db, std::string_view sql, const std::vector<Variant>& params,
                           const Database::RowVisitor& each);
};

} // namespace srv
