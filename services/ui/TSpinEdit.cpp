#include "services/ui/TSpinEdit.h"

#include <charconv>

void TSpinEdit::SetRange(int minValue, int maxValue) {
    m_min = minValue;
    m_max = maxValue;
}

int TSpinEdit::clamp(int value) const {
    if (m_min == 0 && m_max == 0) return value;
    if (value < m_min) return m_min;
    if (value > m_max) return m_max;
    return value;
}

int TSpinEdit::Value() const {
    const std::string& t = Text();
    int value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size()) return m_min;
    return value;
}

void TSpinEdit::SetValue(int value) {
    SetText(std::to_string(clamp(value)));
}

void TSpinEdit::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    if (!ReadOnly() && (key == VK_UP || key == VK_DOWN)) {
        SetValue(Value() + (key == VK_UP ? 1 : -1));
        key = 0;
        return;
    }
    TEdit::DefaultKeyDown(key, shift);
}

void TSpinEdit::DoExit() {
    // A number out of range is brought back into it when the box is left; an empty box stays
    // empty so that the screen's own check can say so.
    if (!Text().empty() && Value() != clamp(Value())) SetValue(Value());
    TEdit::DoExit();
}
