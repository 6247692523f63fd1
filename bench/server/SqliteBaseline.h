#pragma once

#include <string>

// Reads the rows a budget load returns straight from a SQLite file with the C API, every
// column of every row, as the fastest possible reader would. Returns the rows read.
long readBudgetRows(const std::string& path, const std::string& year, int version);
