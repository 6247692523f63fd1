#pragma once

#include "services/data/Variant.h"

#include <string>
#include <string_view>

struct RemoteResult;
class TField;

// Validation and formatting routines shared by every screen.

// Shows `text` in an error box; with `stop` it then ends the running operation (EAbort).
void MensErro(const std::string& text, bool stop = true);

// The payload of a server answer. A failed answer ends the running operation: with `flag` its
// message is shown first through MensErro, otherwise the abort is silent. With `n` above 0
// the payload must be an array of at least n elements, or the answer counts as failed.
Variant CheckResultServ(const RemoteResult& answer, bool flag = true, int n = 0);

// True for an empty text or one made only of blanks.
bool EmptyString(std::string_view text);

// `value` rounded to `decimals` (0..10) decimal places, half away from zero, on its decimal
// digits (2.675 -> 2.68). Throws std::invalid_argument for decimals outside 0..10.
double RoundDec(double value, int decimals);

// Brings `text` (blanks trimmed) to `width` characters by filling on the left: with "0" when it
// is made of digits ("3" -> "03", "1" -> "0001"), with spaces otherwise. A longer text is kept
// whole rather than cut.
std::string Ajusta(std::string_view text, int width);

// Stores the date typed as "dd/mm/yyyy" (or "dd/mm/yy") in a date field; an empty text clears
// it. An invalid date is refused through MensErro (the operation ends) and the field is left
// as it was.
void DateSetText(TField& field, std::string_view text);

// `text` with every occurrence of `from` replaced by `to`.
std::string Replace(std::string_view text, std::string_view from, std::string_view to);
