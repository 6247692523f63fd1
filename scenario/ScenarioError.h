#pragma once

#include "services/ui/Application.h"

#include <string>

// A scenario that does not parse or whose check fails; the text names the script and line.
class ScenarioError : public ScriptError {
public:
    ScenarioError(const std::string& source, int line, const std::string& message)
        : ScriptError(source + ":" + std::to_string(line) + ": " + message), m_line(line) {}
    int line() const { return m_line; }

private:
    int m_line;
};
