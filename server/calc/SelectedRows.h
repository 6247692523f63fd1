#pragma once

#include "services/data/DataPacket.h"

#include <string>
#include <vector>

namespace srv {

// A row of a sent packet the operator checked.
struct SelectedRow {
    std::string branch;
    std::string type; // IDTIPOORCAOP, empty when the packet has none
    std::string seq;  // NRSEQITEMORCA, empty when the packet has none
};

// The rows of a sent packet whose `checkField` is "S" (any case), optionally only those of one
// type letter. Refuses (RpcError) a packet without CDFILIAL or without the check field.
std::vector<SelectedRow> selectedRows(const DataPacket& packet, const std::string& checkField,
                                      const std::string& type = "");

} // namespace srv
