#pragma once

#include <set>
#include <string>
#include <string_view>

namespace srv {

// A list of codes as the client sends it: "T" (or an empty text) for all, "_0001_0002_" for
// some, or a single bare code. Codes are compared as sent, without the blanks around them.
class CodeList {
public:
    // Decodes a list; throws RpcError for text that is neither form (a stray character after
    // the last "_", an empty code between two "_").
    static CodeList parse(std::string_view text, std::string_view what);

    bool all() const noexcept { return m_all; }
    bool contains(const std::string& code) const { return m_all || m_codes.count(code) != 0; }
    const std::set<std::string>& codes() const noexcept { return m_codes; }

private:
    bool m_all = true;
    std::set<std::string> m_codes;
};

} // namespace srv
