#pragma once

class ScenarioHost;
class ScenarioRunner;

// Adds the budget module's verbs to a runner: "today", "login", "fixed-branch", "start" (the
// module's entry, as the host calls it) and "expect" (a variable of the main screen).
void addBudgetVerbs(ScenarioRunner& runner, ScenarioHost& host);
