// fyn-scenario: runs scenario scripts against the budget module, headless, with a server on
// a URL or started in this process.
#include "budget/ModuleState.h"
#include "scenario/ScenarioError.h"
#include "scenario/ScenarioRunner.h"
#include "scenario/cli/ScenarioHost.h"
#include "scenario/cli/ScenarioOptions.h"
#include "scenario/cli/ScenarioVerbs.h"
#include "server/ServerInstance.h"
#include "services/data/NumberFormat.h"
#include "services/net/HttpEndpoint.h"
#include "services/ui/Application.h"
#include "services/ui/testing/ScreenDriver.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

namespace {

// One script with a fresh application and fresh module state; true when every step held.
bool runScript(const std::string& path, const ScenarioOptions& options, ScenarioHost& host,
               const std::string& baseOperator) {
    initializeModuleState();
    host.setFixedBranch(options.fixedBranch);
    host.login(baseOperator, options.password);
    bool ok = false;
    {
        ScreenDriver driver;
        driver.app().setHost(&host);
        if (!options.today.empty()) {
            double days = 0;
            if (!TryParseDate(options.today, days))
                throw std::invalid_argument("--today: not a date: " + options.today);
            driver.app().setToday(days);
        }
        ScenarioRunner runner(driver);
        addBudgetVerbs(runner, host);
        try {
            runner.runFile(path);
            ok = true;
        } catch (const ScriptError& e) {
            std::cerr << e.what() << "\n";
            const std::string shown = driver.messages();
            if (!shown.empty()) std::cerr << "messages shown:\n" << shown;
        }
    }
    initializeModuleState();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    // The operator's locale, adopted as the shell does; a run meant for a named locale
    // (FYN_TEST_LOCALE) must not fall back to "C" quietly on a machine without it.
    const char* locale = std::setlocale(LC_ALL, "");
    if (const char* wanted = std::getenv("FYN_TEST_LOCALE");
        wanted && *wanted && (!locale || std::strcmp(locale, wanted) != 0)) {
        std::cerr << "fyn-scenario: the locale " << wanted << " is not available\n";
        return 2;
    }
    ScenarioOptions options;
    try {
        options = ScenarioOptions::parse(argc, argv);
    } catch (const std::invalid_argument& e) {
        std::cerr << "fyn-scenario: " << e.what() << "\n" << ScenarioOptions::usage();
        return 2;
    }
    try {
        std::unique_ptr<srv::ServerInstance> server;
        ScenarioHost host;
        if (options.url.empty()) {
            srv::ServerOptions so;
            so.db = options.db;
            so.demo = options.demo;
            so.testFixture = options.fixture;
            so.threads = 2;
            server = std::make_unique<srv::ServerInstance>(so);
            host.setServer("127.0.0.1", server->port());
        } else {
            const HttpEndpoint endpoint = HttpEndpoint::parse(options.url, 0);
            if (!endpoint.valid())
                throw std::invalid_argument("--url: no host and port in " + options.url);
            host.setServer(endpoint.scheme + "://" + endpoint.host, endpoint.port);
        }
        int failed = 0;
        for (const std::string& script : options.scripts) {
            const bool ok = runScript(script, options, host, options.op);
            std::cout << (ok ? "ok     " : "FAILED ") << script << "\n";
            if (!ok) ++failed;
        }
        return failed == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "fyn-scenario: " << e.what() << "\n";
        return 2;
    }
}
