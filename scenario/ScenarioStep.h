#pragma once

#include <string>
#include <vector>

// One line of a scenario: a verb with its arguments, and the lines of its block for the verbs
// that open one ("modal", "check messages").
struct ScenarioStep {
    int line = 0;
    std::vector<std::string> words;
    // Nested steps of a "modal" block.
    std::vector<ScenarioStep> block;
    // Raw lines of a "check messages" block, leading blanks removed.
    std::vector<std::string> text;
};
