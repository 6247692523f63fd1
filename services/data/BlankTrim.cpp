#include "services/data/BlankTrim.h"

#include "services/data/Variant.h"

std::string_view trimBlanks(std::string_view text) noexcept {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string textTrimmedRight(const Variant& value) {
    std::string text = value.toText();
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string textTrimmed(const Variant& value) {
    return std::string(trimBlanks(value.toText()));
}
