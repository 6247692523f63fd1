#include "services/ui/TMaskEdit.h"

#include <cctype>

void TMaskEdit::SetEditMask(const std::string& mask) {
    m_maskText = mask;
    m_mask = ::EditMask(mask);
    if (!m_mask.Empty()) SetText(m_mask.Blank());
}

std::string TMaskEdit::TrimmedText() const {
    if (Text() == m_mask.Blank()) return {};
    const std::string& t = Text();
    std::size_t b = t.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    std::size_t e = t.find_last_not_of(' ');
    return t.substr(b, e - b + 1);
}

bool TMaskEdit::IsComplete() const {
    const std::string& t = Text();
    if (m_mask.Empty()) return true;
    if (t.size() != m_mask.Blank().size()) return false;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (m_mask.IsPlace(static_cast<int>(i)) && t[i] == ' ') return false;
    return true;
}
