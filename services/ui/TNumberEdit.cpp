#include "services/ui/TNumberEdit.h"

#include "services/data/NumberFormat.h"

double TNumberEdit::GetNumber() const {
    bool ok = false;
    double value = TextToFloat(Text(), ok);
    return ok ? value : 0.0;
}

void TNumberEdit::SetNumber(double value) {
    std::string pattern = "#,##0";
    if (m_decimals > 0) pattern += "." + std::string(static_cast<std::size_t>(m_decimals), '0');
    SetText(FormatFloat(pattern, value));
}

bool TNumberEdit::Accepts(TKeyChar key) const {
    return (key >= U'0' && key <= U'9') || key == U',' || key == U'.' || key == U'-';
}
