#include "services/ui/UiTypes.h"

#include "services/ui/TComponent.h"

#include <cctype>
#include <string>

namespace {
struct NamedKey {
    const char* name;
    TKeyCode key;
};
constexpr NamedKey kNamedKeys[] = {
    {"Backspace", VK_BACK}, {"Tab", VK_TAB},     {"Enter", VK_RETURN},  {"Esc", VK_ESCAPE},
    {"Escape", VK_ESCAPE},  {"Space", VK_SPACE}, {"PgUp", VK_PRIOR},    {"PgDown", VK_NEXT},
    {"End", VK_END},        {"Home", VK_HOME},   {"Left", VK_LEFT},     {"Up", VK_UP},
    {"Right", VK_RIGHT},    {"Down", VK_DOWN},   {"Insert", VK_INSERT}, {"Del", VK_DELETE},
    {"Delete", VK_DELETE},
};
} // namespace

TShortCut ShortCut(TKeyCode key, TShiftState shift) {
    if (key == 0) return 0;
    TShortCut sc = key;
    if (shift & ssShift) sc |= scShift;
    if (shift & ssCtrl) sc |= scCtrl;
    if (shift & ssAlt) sc |= scAlt;
    return sc;
}

static std::string keyName(TKeyCode key) {
    if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    for (const auto& k : kNamedKeys)
        if (k.key == key) return k.name;
    return {};
}

std::string ShortCutToText(TShortCut shortcut) {
    auto key = static_cast<TKeyCode>(shortcut & 0xFFF);
    std::string name = keyName(key);
    if (name.empty()) return {};
    std::string text;
    if (shortcut & scCtrl) text += "Ctrl+";
    if (shortcut & scAlt) text += "Alt+";
    if (shortcut & scShift) text += "Shift+";
    return text + name;
}

TKeyCode KeyFromName(const std::string& name) {
    if (name.size() == 1) {
        auto c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
        try {
            int n = std::stoi(name.substr(1));
            if (n >= 1 && n <= 12) return static_cast<TKeyCode>(VK_F1 + n - 1);
        } catch (...) {
            return 0;
        }
    }
    for (const auto& k : kNamedKeys)
        if (equalsNoCase(k.name, name)) return k.key;
    return 0;
}

TShortCut TextToShortCut(const std::string& text) {
    TShiftState shift = 0;
    std::string rest = text;
    for (;;) {
        auto plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 >= rest.size()) break;
        std::string mod = rest.substr(0, plus);
        if (equalsNoCase(mod, "Ctrl"))
            shift |= ssCtrl;
        else if (equalsNoCase(mod, "Shift"))
            shift |= ssShift;
        else if (equalsNoCase(mod, "Alt"))
            shift |= ssAlt;
        else
            return 0;
        rest = rest.substr(plus + 1);
    }
    return ShortCut(KeyFromName(rest), shift);
}

TKeyChar KeyToChar(TKeyCode key, TShiftState shift) {
    if (shift & (ssCtrl | ssAlt)) return 0;
    switch (key) {
    case VK_BACK:
        return U'\b';
    case VK_TAB:
        return U'\t';
    case VK_RETURN:
        return U'\r';
    case VK_ESCAPE:
        return 27;
    case VK_SPACE:
        return U' ';
    default:
        break;
    }
    if (key >= '0' && key <= '9') return key;
    if (key >= 'A' && key <= 'Z') return (shift & ssShift) ? key : key + 32;
    return 0;
}
