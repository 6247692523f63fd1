#include "services/lib/TMessages.h"

#include <stdexcept>

namespace {

constexpr const char* kMonths[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                                     "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

std::string_view trimBlank(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

} // namespace

TMessages::TMessages() {
    for (int month = 1; month <= 12; ++month)
        m_texts[std::to_string(month)] = kMonths[month - 1];
}

TMessages::TMessages(std::string_view lines) : TMessages() {
    Add(lines);
}

std::string TMessages::foldKey(std::string_view key) {
    std::string folded(trimBlank(key));
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

void TMessages::Add(std::string_view lines) {
    std::vector<std::pair<std::string, std::string>> parsed;
    std::size_t lineNo = 0;
    while (!lines.empty()) {
        const auto end = lines.find('\n');
        std::string_view line = lines.substr(0, end);
        lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (trimBlank(line).empty()) continue;
        const auto bar = line.find('|');
        if (bar == std::string_view::npos || trimBlank(line.substr(0, bar)).empty())
            throw std::invalid_argument("Linha " + std::to_string(lineNo) +
                                        " do catálogo de mensagens sem chave|texto: \"" +
                                        std::string(line) + "\"");
        // Only the key is trimmed: a text may begin or end with spaces on purpose.
        parsed.emplace_back(foldKey(line.substr(0, bar)), std::string(line.substr(bar + 1)));
    }
    for (auto& [key, text] : parsed)
        m_texts[std::move(key)] = std::move(text);
}

void TMessages::Add(std::string_view key, std::string_view text) {
    const std::string folded = foldKey(key);
    if (folded.empty()) throw std::invalid_argument("Chave vazia no catálogo de mensagens");
    m_texts[folded] = std::string(text);
}

std::string TMessages::Msg(std::string_view key) const {
    const auto found = m_texts.find(foldKey(key));
    return found == m_texts.end() ? std::string(key) : found->second;
}

bool TMessages::Has(std::string_view key) const {
    return m_texts.count(foldKey(key)) != 0;
}

std::string TMessages::Format(std::string_view pattern, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(pattern.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const char spec = pattern[i + 1];
        if (spec == '%') {
            out += '%';
            ++i;
        } else if ((spec == 's' || spec == 'd') && next < args.size()) {
            out += args[next++];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}
