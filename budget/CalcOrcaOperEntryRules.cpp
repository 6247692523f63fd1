#include "budget/CalcOrcaOperEntryRules.h"

#include "budget/CalcOrcaOperData.h"
#include "services/data/NumberFormat.h"
#include "services/data/TClientDataSet.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"

#include <cctype>

namespace EntryRules {

std::string Trim(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return std::string(text.substr(begin, end - begin));
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsMonthField(std::string_view fieldName) {
    constexpr std::string_view prefix = "VRORCAMENTO";
    if (fieldName.size() != prefix.size() + 3 ||
        !SameName(fieldName.substr(0, prefix.size()), prefix))
        return false;
    for (const char* month : CalcOrcaOperData::kMeses)
        if (SameName(fieldName.substr(prefix.size()), month)) return true;
    return false;
}

bool BaseMonthDate(const std::string& text, double& days) {
    const std::string t = Trim(text);
    // Only a month and a four-digit year: "m/yyyy" or "mm/yyyy".
    const std::size_t slash = t.find('/');
    if (slash != std::string::npos && t.find('/', slash + 1) == std::string::npos &&
        t.size() - slash - 1 == 4)
        return TryParseDate("01/" + t, days);
    return TryParseDate(t, days);
}

double MonthSum(const TClientDataSet& dataSet) {
    double sum = 0;
    for (const char* month : CalcOrcaOperData::kMeses)
        sum += dataSet.FieldByName(std::string("VRORCAMENTO") + month).AsFloat();
    return sum;
}

bool PhaseClosed(const TClientDataSet& verifFaseOper) {
    return verifFaseOper.Active() && !verifFaseOper.IsEmpty() &&
           verifFaseOper.FieldByName("IDFASECALCORCA").AsString() == "N";
}

std::string FieldText(const TClientDataSet& dataSet, const char* name) {
    const TField* field = dataSet.FindField(name);
    return field ? field->AsString() : std::string();
}

bool Ask(const std::string& text) {
    return Application::instance().platform().MessageBox(MessageKind::Confirmation, text,
                                                         MessageButtons::YesNo) == mrYes;
}

} // namespace EntryRules
