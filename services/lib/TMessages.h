#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

// A screen's message catalog: lines "key|text", looked up by key without regard to letter case.
// Every catalog holds the month abbreviations under the keys "1" .. "12" ("JAN" .. "DEZ").
class TMessages {
public:
    TMessages();
    // A catalog holding the month keys and the lines of `lines` (see Add).
    explicit TMessages(std::string_view lines);

    // Adds the "key|text" lines of a multi-line text; a later line replaces an earlier key.
    // Blank lines are skipped. A line without "|" or with an empty key is refused with
    // std::invalid_argument naming it, and then nothing of `lines` is added.
    void Add(std::string_view lines);
    // Adds or replaces one entry.
    void Add(std::string_view key, std::string_view text);

    // The text of `key`; for a key no line holds, the key itself, so that a missing text shows.
    std::string Msg(std::string_view key) const;
    // The text of `key` with each "%s" filled by the next argument.
    template <typename... Args> std::string Msg(std::string_view key, const Args&... args) const {
        return Format(Msg(key), {toText(args)...});
    }
    bool Has(std::string_view key) const;
    std::size_t Count() const noexcept { return m_texts.size(); }

    // Fills each "%s" (or "%d") of `pattern` with the next argument, in order; "%%" is "%".
    // A placeholder without an argument stays as it is so that the gap shows.
    static std::string Format(std::string_view pattern, const std::vector<std::string>& args);

    static std::string toText(std::string_view text) { return std::string(text); }
    static std::string toText(const char* text) { return std::string(text); }
    static std::string toText(const std::string& text) { return text; }
    template <typename T>
    requires std::is_integral_v<T>
    static std::string toText(T value) { return std::to_string(value); }

private:
    static std::string foldKey(std::string_view key);
    std::unordered_map<std::string, std::string> m_texts;
};
