#pragma once

#include <string>
#include <string_view>

class TClientDataSet;

// Small rules of value entry shared by the main screen's entry, check and save handlers.
namespace EntryRules {

// The text without blanks at either end.
std::string Trim(std::string_view text);
// Names equal regardless of letter case.
bool SameName(std::string_view a, std::string_view b);
// One of the twelve month value fields ("VRORCAMENTOJAN" .. "VRORCAMENTODEZ").
bool IsMonthField(std::string_view fieldName);
// The first day of a typed base month ("03/2009"); a whole date ("01/03/2009") is taken as
// it is. False when the text is neither.
bool BaseMonthDate(const std::string& text, double& days);
// Plain sum of the twelve month values of the current row (nulls count as 0).
double MonthSum(const TClientDataSet& dataSet);
// The operator's phase forbids calculating ("N"); no phase row forbids nothing.
bool PhaseClosed(const TClientDataSet& verifFaseOper);
// The text of a field of the current row; empty when the dataset has no such field.
std::string FieldText(const TClientDataSet& dataSet, const char* name);
// The value is one of the two.
inline bool IsEither(const std::string& value, const char* a, const char* b) {
    return value == a || value == b;
}
// A Yes/No question; true for Yes.
bool Ask(const std::string& text);

} // namespace EntryRules
