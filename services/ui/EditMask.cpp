#include "services/ui/EditMask.h"

#include <cctype>

EditMask::EditMask(const std::string& mask) {
    std::string layout = mask.substr(0, mask.find(';'));
    for (std::size_t i = 0; i < layout.size(); ++i) {
        char c = layout[i];
        if (c == '!' || c == '>' || c == '<') continue;
        if (c == '\\' && i + 1 < layout.size()) {
            m_slots.push_back({0, layout[++i]});
            continue;
        }
        if (std::string("90LlAaCc").find(c) != std::string::npos)
            m_slots.push_back({c, ' '});
        else
            m_slots.push_back({0, c});
    }
}

std::string EditMask::Blank() const {
    std::string text;
    for (const Slot& s : m_slots)
        text += s.kind ? ' ' : s.literal;
    return text;
}

static bool accepts(char kind, char ch) {
    auto u = static_cast<unsigned char>(ch);
    switch (kind) {
    case '9':
    case '0':
        return std::isdigit(u) != 0;
    case 'L':
    case 'l':
        return std::isalpha(u) != 0;
    case 'A':
    case 'a':
        return std::isalnum(u) != 0;
    default:
        return u >= 32;
    }
}

bool EditMask::Insert(std::string& text, char ch) const {
    if (text.size() != m_slots.size()) text = Blank();
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i].kind || text[i] != ' ') continue;
        if (!accepts(m_slots[i].kind, ch)) return false;
        text[i] = ch;
        return true;
    }
    return false;
}

void EditMask::Backspace(std::string& text) const {
    if (text.size() != m_slots.size()) {
        text = Blank();
        return;
    }
    for (std::size_t i = m_slots.size(); i-- > 0;) {
        if (m_slots[i].kind && text[i] != ' ') {
            text[i] = ' ';
            return;
        }
    }
}

bool EditMask::IsPlace(int pos) const {
    return pos >= 0 && pos < static_cast<int>(m_slots.size()) &&
           m_slots[static_cast<std::size_t>(pos)].kind != 0;
}

bool EditMask::Accepts(int pos, char ch) const {
    return IsPlace(pos) && accepts(m_slots[static_cast<std::size_t>(pos)].kind, ch);
}
