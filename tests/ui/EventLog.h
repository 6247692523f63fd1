#pragma once

#include <string>

// Records events as "a, b, c" so that a whole sequence is compared at once.
class EventLog {
public:
    void add(const std::string& event) {
        if (!m_text.empty()) m_text += ", ";
        m_text += event;
    }
    std::string take() {
        std::string out = std::move(m_text);
        m_text.clear();
        return out;
    }

private:
    std::string m_text;
};
