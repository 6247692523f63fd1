#pragma once

#include <string>
#include <string_view>

class Variant;

// Blanks around codes and flags: fixed-width (CHAR) columns pad their texts on the right, and
// typed lists may carry them on either side.

// `text` without blanks at either end.
std::string_view trimBlanks(std::string_view text) noexcept;
// `value`'s text without the blanks that pad it on the right ("" for null); leading blanks stay.
std::string textTrimmedRight(const Variant& value);
// `value`'s text without blanks at either end ("" for null).
std::string textTrimmed(const Variant& value);
