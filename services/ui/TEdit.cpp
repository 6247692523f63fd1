#include "services/ui/TEdit.h"

#include <cctype>

void AppendUtf8(std::string& text, char32_t ch) {
    if (ch < 0x80) {
        text += static_cast<char>(ch);
    } else if (ch < 0x800) {
        text += static_cast<char>(0xC0 | (ch >> 6));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        text += static_cast<char>(0xE0 | (ch >> 12));
        text += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (ch >> 18));
        text += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

std::size_t Utf8Length(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

void TEdit::SetText(const std::string& text) {
    if (text == m_text) return;
    m_text = text;
    Changed(Property::Text);
    if (OnChange) OnChange(this);
}

void TEdit::SetMaxLength(int length) {
    m_maxLength = length;
    Changed(Property::MaxLength);
}

void TEdit::SetReadOnly(bool readOnly) {
    if (readOnly == m_readOnly) return;
    m_readOnly = readOnly;
    Changed(Property::ReadOnly);
}

void TEdit::DoEnter() {
    m_selected = m_autoSelect;
    TWinControl::DoEnter();
}

bool TEdit::InsertChar(std::string& text, TKeyChar key) const {
    if (m_maxLength > 0 && Utf8Length(text) >= static_cast<std::size_t>(m_maxLength)) return false;
    if (key < 128 && m_charCase == ecUpperCase) key = std::toupper(static_cast<int>(key));
    if (key < 128 && m_charCase == ecLowerCase) key = std::tolower(static_cast<int>(key));
    AppendUtf8(text, key);
    return true;
}

void TEdit::RemoveLast(std::string& text) const {
    while (!text.empty()) {
        auto c = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((c & 0xC0) != 0x80) break;
    }
}

void TEdit::DefaultKeyPress(TKeyChar& key) {
    if (m_readOnly) return;
    std::string text = m_selected ? ClearedText() : m_text;
    if (key == U'\b') {
        if (!m_selected) RemoveLast(text);
    } else if (Accepts(key)) {
        if (!InsertChar(text, key)) return;
    } else {
        return;
    }
    m_selected = false;
    SetText(text);
}

void TEdit::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    if (key == VK_DELETE && !m_readOnly && m_selected) {
        m_selected = false;
        SetText(ClearedText());
        key = 0;
        return;
    }
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END) m_selected = false;
    TWinControl::DefaultKeyDown(key, shift);
}
