#pragma once

#include <string>
#include <vector>

// What the command line of fyn-scenario asks for.
struct ScenarioOptions {
    // Server: a running one at `url`, or one started in process on `db` (filled with the demo
    // company or the shared test fixture when asked).
    std::string url;
    std::string db = ":memory:";
    bool demo = false;
    bool fixture = false;
    std::string op;
    std::string password;
    std::string today; // dd/mm/yyyy; empty: the machine's date
    std::string fixedBranch;
    std::vector<std::string> scripts;

    // Reads argv; throws std::invalid_argument with the reason for a bad command line.
    static ScenarioOptions parse(int argc, char** argv);
    static const char* usage();
};
