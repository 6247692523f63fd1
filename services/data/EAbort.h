#pragma once

#include <exception>

// The silent abort: ends the running handler and the operation it belongs to without a
// message. Whoever dispatches an operator's event catches it and carries on; every step
// that must run on the way out is a scope guard.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "operation aborted"; }
};

// Raises the silent abort.
[[noreturn]] inline void Abort() {
    throw EAbort();
}
