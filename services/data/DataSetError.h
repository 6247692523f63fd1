#pragma once

#include <stdexcept>

// Raised for a refused dataset operation: bad filter, unknown field, a value of the wrong kind,
// a closed dataset, a malformed packet. The message names the problem and the dataset is left
// as it was.
class DataSetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
