#include "services/ui/LineEditor.h"

#include <algorithm>

std::u32string ToU32(const std::string& text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        char32_t ch = c;
        std::size_t len = 1;
        if (c >= 0xF0) {
            ch = c & 0x07;
            len = 4;
        } else if (c >= 0xE0) {
            ch = c & 0x0F;
            len = 3;
        } else if (c >= 0xC0) {
            ch = c & 0x1F;
            len = 2;
        }
        for (std::size_t k = 1; k < len && i + k < text.size(); ++k)
            ch = (ch << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += ch;
        i += len;
    }
    return out;
}

std::string FromU32(const std::u32string& text) {
    std::string out;
    for (char32_t ch : text) {
        if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if (ch < 0x800) {
            out += static_cast<char>(0xC0 | (ch >> 6));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else if (ch < 0x10000) {
            out += static_cast<char>(0xE0 | (ch >> 12));
            out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (ch >> 18));
            out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return out;
}

LineEditor::LineEditor(const std::string& text, int selStart, int selLength, const EditMask& mask,
                       int maxLength)
    : m_text(ToU32(text)), m_mask(mask), m_maxLength(maxLength) {
    if (!m_mask.Empty() && FromU32(m_text).size() != m_mask.Blank().size())
        m_text = ToU32(m_mask.Blank());
    int n = static_cast<int>(m_text.size());
    m_selStart = std::clamp(selStart, 0, n);
    m_selLength = std::clamp(selLength, 0, n - m_selStart);
}

std::string LineEditor::text() const {
    return FromU32(m_text);
}

bool LineEditor::editable(int pos) const {
    return m_mask.IsPlace(pos);
}

void LineEditor::removeSelection() {
    if (m_selLength == 0) return;
    if (m_mask.Empty()) {
        m_text.erase(static_cast<std::size_t>(m_selStart), static_cast<std::size_t>(m_selLength));
    } else {
        for (int i = m_selStart; i < m_selStart + m_selLength; ++i)
            if (editable(i)) m_text[static_cast<std::size_t>(i)] = U' ';
    }
    m_selLength = 0;
}

bool LineEditor::type(TKeyChar ch) {
    if (m_mask.Empty()) {
        int kept = static_cast<int>(m_text.size()) - m_selLength;
        if (m_maxLength > 0 && kept >= m_maxLength) return false;
        removeSelection();
        m_text.insert(m_text.begin() + m_selStart, ch);
        ++m_selStart;
        return true;
    }
    if (ch >= 128) return false;
    int n = static_cast<int>(m_text.size());
    int pos = m_selStart;
    while (pos < n && !editable(pos))
        ++pos;
    if (pos >= n || !m_mask.Accepts(pos, static_cast<char>(ch))) return false;
    removeSelection();
    m_text[static_cast<std::size_t>(pos)] = ch;
    m_selStart = pos + 1;
    // The caret skips the literals that follow, as the operator expects.
    while (m_selStart < n && !editable(m_selStart))
        ++m_selStart;
    return true;
}

void LineEditor::backspace() {
    if (m_selLength > 0) {
        removeSelection();
        return;
    }
    if (m_selStart == 0) return;
    if (m_mask.Empty()) {
        m_text.erase(static_cast<std::size_t>(m_selStart - 1), 1);
        --m_selStart;
        return;
    }
    int pos = m_selStart - 1;
    while (pos >= 0 && !editable(pos))
        --pos;
    if (pos < 0) return;
    m_text[static_cast<std::size_t>(pos)] = U' ';
    m_selStart = pos;
}

void LineEditor::del() {
    if (m_selLength > 0) {
        removeSelection();
        return;
    }
    int n = static_cast<int>(m_text.size());
    if (m_selStart >= n) return;
    if (m_mask.Empty()) {
        m_text.erase(static_cast<std::size_t>(m_selStart), 1);
        return;
    }
    int pos = m_selStart;
    while (pos < n && !editable(pos))
        ++pos;
    if (pos < n) m_text[static_cast<std::size_t>(pos)] = U' ';
}

bool LineEditor::move(TKeyCode key) {
    int n = static_cast<int>(m_text.size());
    switch (key) {
    case VK_LEFT:
        m_selStart = m_selLength > 0 ? m_selStart : std::max(0, m_selStart - 1);
        break;
    case VK_RIGHT:
        m_selStart = m_selLength > 0 ? m_selStart + m_selLength : std::min(n, m_selStart + 1);
        break;
    case VK_HOME:
        m_selStart = 0;
        break;
    case VK_END:
        m_selStart = n;
        break;
    default:
        return false;
    }
    m_selLength = 0;
    return true;
}
