#include "scenario/cli/ScenarioVerbs.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "scenario/ScenarioRunner.h"
#include "scenario/cli/ScenarioHost.h"
#include "services/data/NumberFormat.h"
#include "services/ui/Application.h"
#include "services/ui/testing/ScreenDriver.h"

#include <functional>
#include <map>
#include <stdexcept>

extern "C" void IniProc();

namespace {

using Words = std::vector<std::string>;

void need(const Words& w, std::size_t count, const char* usage) {
    if (w.size() != count) throw ScriptError(std::string("usage: ") + usage);
}

std::string flag(bool value) {
    return value ? "true" : "false";
}

// The variables a scenario may look at, by name.
std::string variable(const std::string& name) {
    const std::map<std::string, std::function<std::string()>> module = {
        {"boMaiorVersao", [] { return flag(boMaiorVersao); }},
        {"boHabEfet", [] { return flag(boHabEfet); }},
        {"boStCriado", [] { return flag(boStCriado); }},
        {"stFiliSelec", [] { return stFiliSelec; }},
    };
    if (auto it = module.find(name); it != module.end()) return it->second();
    if (!frmCalcOrcaOper) throw ScriptError("the main screen is not open");
    const TfrmCalcOrcaOper& f = *frmCalcOrcaOper;
    const std::map<std::string, std::function<std::string()>> screen = {
        {"boConfirmou", [&] { return flag(f.boConfirmou); }},
        {"stListaFil", [&] { return f.stListaFil; }},
        {"stPesqFilial", [&] { return f.stPesqFilial; }},
        {"stListaAgrupFil", [&] { return f.stListaAgrupFil; }},
        {"stListaReg", [&] { return f.stListaReg; }},
        {"stListaSeg", [&] { return f.stListaSeg; }},
    };
    if (auto it = screen.find(name); it != screen.end()) return it->second();
    throw ScriptError("no variable " + name);
}

void openMainScreen(ScreenDriver& driver) {
    IniProc();
    if (!frmCalcOrcaOper) throw ScriptError("the module's entry did not open the main screen");
    driver.drive(*frmCalcOrcaOper);
}

} // namespace

void addBudgetVerbs(ScenarioRunner& runner, ScenarioHost& host) {
    runner.addAction("today", [](ScreenDriver& driver, const Words& w) {
        need(w, 2, "today dd/mm/yyyy");
        double days = 0;
        if (!TryParseDate(w[1], days)) throw ScriptError("not a date: " + w[1]);
        driver.app().setToday(days);
    });
    runner.addAction("login", [&host](ScreenDriver&, const Words& w) {
        need(w, 3, "login <operator> <password>");
        try {
            host.login(w[1], w[2]);
        } catch (const std::runtime_error& e) {
            throw ScriptError(e.what());
        }
    });
    runner.addAction("fixed-branch", [&host](ScreenDriver&, const Words& w) {
        need(w, 2, "fixed-branch <code>|off");
        host.setFixedBranch(w[1] == "off" ? std::string() : w[1]);
    });
    runner.addAction("start", [](ScreenDriver& driver, const Words& w) {
        need(w, 1, "start");
        openMainScreen(driver);
    });
    runner.addForm("TfrmCalcOrcaOper", [](ScreenDriver& driver) -> TForm& {
        openMainScreen(driver);
        return *frmCalcOrcaOper;
    });
    runner.addAction("expect", [](ScreenDriver&, const Words& w) {
        need(w, 3, "expect <variable> <value>");
        const std::string actual = variable(w[1]);
        if (actual != w[2])
            throw ScriptError(w[1] + ": expected \"" + w[2] + "\", got \"" + actual + "\"");
    });
}
