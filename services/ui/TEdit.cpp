#include "services/ui/TEdit.h"

#include "services/ui/LineEditor.h"

#include <algorithm>
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

const ::EditMask& TEdit::Mask() const {
    static const ::EditMask none;
    return none;
}

void TEdit::SetText(const std::string& text) {
    // A masked box starts typing at its first place; a plain one goes on at the end.
    setEdited(text, Mask().Empty() ? static_cast<int>(Utf8Length(text)) : 0, 0);
}

void TEdit::setEdited(const std::string& text, int selStart, int selLength) {
    bool caretMoved = selStart != m_selStart || selLength != m_selLength;
    m_selStart = selStart;
    m_selLength = selLength;
    if (caretMoved) Changed(Property::Selection);
    if (text == m_text) return;
    m_text = text;
    Changed(Property::Text);
    if (OnChange) OnChange(this);
}

void TEdit::SetSelStart(int start) {
    int n = static_cast<int>(Utf8Length(m_text));
    m_selStart = std::clamp(start, 0, n);
    m_selLength = std::min(m_selLength, n - m_selStart);
    Changed(Property::Selection);
}

void TEdit::SetSelLength(int length) {
    int n = static_cast<int>(Utf8Length(m_text));
    m_selLength = std::clamp(length, 0, n - m_selStart);
    Changed(Property::Selection);
}

void TEdit::SelectAll() {
    m_selStart = 0;
    m_selLength = static_cast<int>(Utf8Length(m_text));
    Changed(Property::Selection);
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
    if (m_autoSelect) SelectAll();
    TWinControl::DoEnter();
}

void TEdit::DefaultKeyPress(TKeyChar& key) {
    if (m_readOnly) return;
    LineEditor editor(m_text, m_selStart, m_selLength, Mask(), m_maxLength);
    if (key == U'\b') {
        editor.backspace();
    } else if (Accepts(key)) {
        TKeyChar ch = key;
        if (ch < 128 && m_charCase == ecUpperCase) ch = std::toupper(static_cast<int>(ch));
        if (ch < 128 && m_charCase == ecLowerCase) ch = std::tolower(static_cast<int>(ch));
        if (!editor.type(ch)) return;
    } else {
        return;
    }
    setEdited(editor.text(), editor.selStart(), editor.selLength());
}

void TEdit::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    LineEditor editor(m_text, m_selStart, m_selLength, Mask(), m_maxLength);
    if (key == VK_DELETE) {
        if (!m_readOnly) {
            editor.del();
            setEdited(editor.text(), editor.selStart(), editor.selLength());
        }
        key = 0;
        return;
    }
    if (editor.move(key)) {
        setEdited(m_text, editor.selStart(), editor.selLength());
        key = 0;
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}
