#pragma once

#include "server/rpc/RpcRequest.h"

#include <string>
#include <vector>

namespace srv {

class GroupCommit;
class Store;

// What a remote method sees of its call: who calls, the database and the arguments. A method
// writes the new value of a by-reference argument into its `params` entry.
struct CallContext {
    const std::string& operatorCode;
    Store& store;
    std::vector<RpcParam>& params;
    // Where writes share their transaction with concurrent ones; null: each its own.
    GroupCommit* writes = nullptr;

    Variant& arg(std::size_t index) { return params.at(index).value; }
    std::string text(std::size_t index) const { return params.at(index).value.toText(); }
    int integer(std::size_t index) const { return params.at(index).value.toInt(); }
    double number(std::size_t index) const { return params.at(index).value.toDouble(); }
    // The argument at `index` must name the logged-in operator; throws RpcError otherwise.
    void requireSelf(std::size_t index) const;
};

} // namespace srv
