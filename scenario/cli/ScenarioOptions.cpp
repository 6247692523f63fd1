#include "scenario/cli/ScenarioOptions.h"

#include <stdexcept>

const char* ScenarioOptions::usage() {
    return "usage: fyn-scenario [--url http://host:port | --db <database> | --demo | --fixture]\n"
           "                    [--operator <code> --password <password>] [--today dd/mm/yyyy]\n"
           "                    [--fixed-branch <code>] <script>...\n"
           "  --url           run against a server already running\n"
           "  --db            start the server in this process on a SQLite file or postgresql:// "
           "URL\n"
           "  --demo          ... on an in-memory database filled with the demo company\n"
           "  --fixture       ... on an in-memory database filled with the shared test company\n"
           "  --operator      who logs in first (default teste with --fixture, demo otherwise;\n"
           "                  the password defaults to the code)\n"
           "  --today         the date the screens take as today\n"
           "  --fixed-branch  the host works with this one branch\n";
}

ScenarioOptions ScenarioOptions::parse(int argc, char** argv) {
    ScenarioOptions o;
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) throw std::invalid_argument(std::string(argv[i]) + " needs a value");
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--url")
            o.url = value(i);
        else if (arg == "--db")
            o.db = value(i);
        else if (arg == "--demo")
            o.demo = true;
        else if (arg == "--fixture")
            o.fixture = true;
        else if (arg == "--operator")
            o.op = value(i);
        else if (arg == "--password")
            o.password = value(i);
        else if (arg == "--today")
            o.today = value(i);
        else if (arg == "--fixed-branch")
            o.fixedBranch = value(i);
        else if (arg.rfind("--", 0) == 0)
            throw std::invalid_argument("unknown option " + arg);
        else
            o.scripts.push_back(arg);
    }
    if (o.scripts.empty()) throw std::invalid_argument("no script given");
    if (o.demo && o.fixture) throw std::invalid_argument("--demo and --fixture exclude each other");
    if (!o.url.empty() && (o.demo || o.fixture))
        throw std::invalid_argument("--url runs against a server as it is: no --demo or --fixture");
    if (o.op.empty()) o.op = o.fixture ? "teste" : "demo";
    if (o.password.empty()) o.password = o.op;
    return o;
}
