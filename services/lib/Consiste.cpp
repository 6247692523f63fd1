#include "services/lib/Consiste.h"

std::string Ajusta(std::string_view text, int width) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool digits = !text.empty();
    std::size_t chars = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') digits = false;
        // Counts characters, not bytes: continuation bytes of UTF-8 are skipped.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    }
    if (width <= 0 || chars >= static_cast<std::size_t>(width)) return std::string(text);
    return std::string(width - chars, digits ? '0' : ' ') + std::string(text);
}

bool EmptyString(std::string_view text) {
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

std::string Replace(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (auto pos = text.find(from); pos != std::string_view::npos; pos = text.find(from, start)) {
        out.append(text.substr(start, pos - start)).append(to);
        start = pos + from.size();
    }
    out.append(text.substr(start));
    return out;
}
