#include "services/ui/TDateEditPlus.h"

#include "services/data/EAbort.h"
#include "services/data/NumberFormat.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"

TDateEditPlus::TDateEditPlus(TComponent* owner) : TMaskEdit(owner) {
    SetEditMask("!99/99/9999;1; ");
}

double TDateEditPlus::GetDate() const {
    double days = 0;
    // A half-typed date ("05/04/20  ") is not a date, whatever the short forms allow.
    if (!IsComplete() || !TryParseDate(TrimmedText(), days)) return 0;
    return days;
}

void TDateEditPlus::SetDate(double days) {
    SetText(days == 0 ? Mask().Blank() : FormatDate("dd/mm/yyyy", days));
}

bool TDateEditPlus::IsValidDate() const {
    std::string text = TrimmedText();
    double days = 0;
    return text.empty() || text == "/  /" || (IsComplete() && TryParseDate(text, days));
}

void TDateEditPlus::CheckValidDate() const {
    if (IsValidDate()) return;
    Application::instance().platform().MessageBox(
        MessageKind::Error, "\"" + TrimmedText() + "\" não é uma data válida.", MessageButtons::Ok);
    Abort();
}
