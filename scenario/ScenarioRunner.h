#pragma once

#include "scenario/ScenarioStep.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class ScreenDriver;
class TForm;

// Runs scenario steps against the screens through a ScreenDriver (docs/SCENARIOS.md). A
// failed check, an unknown control, a question asked without an answer or a dialog opened
// without a "modal" block stops the run with a ScenarioError naming the line.
class ScenarioRunner {
public:
    explicit ScenarioRunner(ScreenDriver& driver);

    // Makes "open <className>" create and show that form.
    using FormFactory = std::function<TForm&(ScreenDriver&)>;
    void addForm(const std::string& className, FormFactory factory);
    // Adds a verb of the host program ("login", "server", ...); it receives the step's words.
    using Action = std::function<void(ScreenDriver&, const std::vector<std::string>& words)>;
    void addAction(const std::string& verb, Action action);

    void runText(const std::string& text, const std::string& source = "scenario");
    void runFile(const std::string& path);
    void run(const std::vector<ScenarioStep>& steps, const std::string& source);

private:
    void step(const ScenarioStep& s, const std::string& source);
    void action(const ScenarioStep& s, const std::string& source);
    void check(const ScenarioStep& s, const std::string& source);

    ScreenDriver& m_driver;
    std::map<std::string, FormFactory> m_forms;
    std::map<std::string, Action> m_actions;
};
