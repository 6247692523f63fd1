#pragma once

#include "scenario/ScenarioStep.h"

#include <string>
#include <vector>

// Reads the scenario language (docs/SCENARIOS.md): one step per line, words separated by
// blanks, "double quotes" around words with blanks (\" and \\ inside), # starts a comment
// line, "modal" and "check messages" open a block closed by "end".
class ScenarioParser {
public:
    // Throws ScenarioError naming `source` and the line of the fault.
    static std::vector<ScenarioStep> parse(const std::string& text, const std::string& source);
    // The words of one line.
    static std::vector<std::string> split(const std::string& line, const std::string& source,
                                          int lineNo);
};
