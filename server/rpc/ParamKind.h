#pragma once

#include "services/data/Variant.h"

#include <cstdint>

namespace srv {

// The kind a remote method declares for each positional argument.
enum class ParamKind : std::uint8_t { Text, Integer, Double, Boolean, Date, Any };

// Whether a value sent by a client can stand for an argument of that kind. Booleans may come
// as the numbers 0 and -1, dates and doubles as any number (a null date is the zero date),
// integers as integral doubles.
bool paramAccepts(ParamKind kind, const Variant& value) noexcept;

// Portuguese name of a kind, for messages to the operator.
const char* paramKindName(ParamKind kind) noexcept;

// Portuguese name of a value's kind, for messages to the operator.
const char* valueKindName(const Variant& value) noexcept;

} // namespace srv
