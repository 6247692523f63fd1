#include "scenario/ScenarioParser.h"

#include "scenario/ScenarioError.h"

#include <sstream>

namespace {
std::string trimLeft(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b);
}

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.pop_back();
    return s;
}

struct Lines {
    std::vector<std::string> all;
    std::size_t next = 0;
};

bool isEnd(const std::string& raw) {
    return trimRight(trimLeft(raw)) == "end";
}

std::vector<ScenarioStep> parseBlock(Lines& lines, const std::string& source, bool nested,
                                     int openLine) {
    std::vector<ScenarioStep> steps;
    while (lines.next < lines.all.size()) {
        int lineNo = static_cast<int>(lines.next) + 1;
        std::string raw = lines.all[lines.next++];
        std::string text = trimRight(trimLeft(raw));
        if (text.empty() || text[0] == '#') continue;
        if (text == "end") {
            if (!nested) throw ScenarioError(source, lineNo, "'end' without a block to close");
            return steps;
        }
        ScenarioStep step;
        step.line = lineNo;
        step.words = ScenarioParser::split(text, source, lineNo);
        if (step.words[0] == "modal") {
            if (step.words.size() != 2)
                throw ScenarioError(source, lineNo, "'modal' takes the dialog's class name");
            step.block = parseBlock(lines, source, true, lineNo);
        } else if (step.words.size() == 2 && step.words[0] == "check" &&
                   step.words[1] == "messages") {
            bool closed = false;
            while (lines.next < lines.all.size()) {
                std::string inner = lines.all[lines.next++];
                if (isEnd(inner)) {
                    closed = true;
                    break;
                }
                std::string t = trimRight(trimLeft(inner));
                if (!t.empty()) step.text.push_back(t);
            }
            if (!closed) throw ScenarioError(source, lineNo, "'check messages' without 'end'");
        }
        steps.push_back(std::move(step));
    }
    if (nested) throw ScenarioError(source, openLine, "block without 'end'");
    return steps;
}
} // namespace

std::vector<std::string> ScenarioParser::split(const std::string& line, const std::string& source,
                                               int lineNo) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) c = line[i++];
                word += c;
            }
            if (!closed) throw ScenarioError(source, lineNo, "unclosed quote");
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                word += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<ScenarioStep> ScenarioParser::parse(const std::string& text,
                                                const std::string& source) {
    Lines lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.all.push_back(line);
    return parseBlock(lines, source, false, 0);
}
