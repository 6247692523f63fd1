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

// The year and version the rows of a sent packet belong to (NRANOORCAOP, CDVERSORCAOP); refuses
// (RpcError) a packet without them or whose rows disagree.
void packetBudget(const DataPacket& packet, std::string& year, int& version);

} // namespace srv
