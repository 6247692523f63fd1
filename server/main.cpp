// fyn-appserver: the budget application server. See docs/OPERATIONS.md.
#include "server/ServerInstance.h"

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: fyn-appserver [options]\n"
                 "  --db DATABASE      SQLite file, :memory:, or postgresql://user@host:port/db\n"
                 "                     (default fyn.sqlite)\n"
                 "  --listen HOST:PORT address to listen on (default 127.0.0.1:8080)\n"
                 "  --demo             fill the demo company when the database is empty\n"
                 "  --test-fixture     fill the small test company when the database is empty\n"
                 "  --fast-commit      SQLite: do not flush each commit to disk (survives a\n"
                 "                     killed server, not a power cut)\n"
                 "  --threads N        calls executed at once (default 16)\n"
                 "  --max-body-mib N   largest request body accepted, in MiB (default 64)\n"
                 "  --header-timeout S a request header must arrive whole within S seconds\n"
                 "                     (default 10)\n"
                 "  --min-body-rate B  a body must arrive at B bytes a second at least\n"
                 "                     (default 1024)\n"
                 "  --max-connections N           open connections in all (default 4000)\n"
                 "  --max-connections-per-address N  from one client address (default 64)\n"
                 "  --help             this text\n"
                 "Logs one line per request on stderr; SIGTERM or SIGINT stops it cleanly.\n");
}

bool number(const char* text, long min, long max, long& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < min || v > max) return false;
    out = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    srv::ServerOptions options;
    options.db = "fyn.sqlite";
    options.listen = "127.0.0.1:8080";
    options.log = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--fast-commit") {
            options.syncEachCommit = false;
        } else if (arg == "--test-fixture") {
            options.testFixture = true;
        } else if (arg == "--db" && hasValue) {
            options.db = argv[++i];
        } else if (arg == "--listen" && hasValue) {
            options.listen = argv[++i];
        } else if (arg == "--threads" && hasValue && number(argv[i + 1], 1, 256, n)) {
            options.threads = static_cast<int>(n);
            ++i;
        } else if (arg == "--max-body-mib" && hasValue && number(argv[i + 1], 1, 4096, n)) {
            options.maxBodyBytes = static_cast<std::size_t>(n) << 20;
            ++i;
        } else if (arg == "--header-timeout" && hasValue && number(argv[i + 1], 1, 3600, n)) {
            options.http.headerTimeoutSeconds = static_cast<int>(n);
            ++i;
        } else if (arg == "--min-body-rate" && hasValue && number(argv[i + 1], 0, 1L << 30, n)) {
            options.http.minBodyBytesPerSecond = static_cast<std::size_t>(n);
            ++i;
        } else if (arg == "--max-connections" && hasValue && number(argv[i + 1], 1, 1000000, n)) {
            options.http.maxConnections = static_cast<int>(n);
            ++i;
        } else if (arg == "--max-connections-per-address" && hasValue &&
                   number(argv[i + 1], 1, 1000000, n)) {
            options.http.maxConnectionsPerAddress = static_cast<int>(n);
            ++i;
        } else {
            std::fprintf(stderr, "fyn-appserver: bad option or value: %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }

    // Block the stop signals in every thread; the main thread waits for them below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Every open connection is a descriptor: take all the system allows this process.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    try {
        srv::ServerInstance server(options);
        std::fprintf(stderr, "fyn-appserver: serving %s on port %d\n", options.db.c_str(),
                     server.port());
        int signal = 0;
        sigwait(&stopSignals, &signal);
        std::fprintf(stderr, "fyn-appserver: %s received, stopping\n",
                     signal == SIGTERM ? "SIGTERM" : "SIGINT");
        server.stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fyn-appserver: %s\n", e.what());
        return 1;
    }
    return 0;
}
