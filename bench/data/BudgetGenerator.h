#pragma once

#include "services/data/DataPacket.h"

#include <string>

// A budget of `branches` x `itemsPerBranch` rows with the fields of the main screen's item
// dataset: every type letter, codes, names, twelve month values.
DataPacket generateBudget(int branches, int itemsPerBranch);

// Branch code of branch number n (0-based): "0001", "0002", ...
std::string branchCode(int n);
