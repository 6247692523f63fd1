// bench-load-e2e: the main screen's load and reload (F5) of a generated budget from a real
// fyn-appserver process on loopback, the client's peak memory after it, a page change with its
// summary, and SQLite's own read of the same rows. Each size runs in a process of its own so
// that the peak memory is that of one client. Prints "bench: name: value unit".
// Options: --branches N --items N (one size only; default 1000 and 9999 branches of 60 items).
#include "bench/screens/BenchSession.h"
#include "bench/server/SqliteBaseline.h"
#include "server/demo/DemoCompany.h"
#include "server/store/Store.h"
#include "services/ui/TEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TTabSheet.h"

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// This process's processor time so far, user and system, in milliseconds.
double cpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The process's peak resident memory so far, in MiB, as the kernel counts it.
double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// Fills the database in a child process, so that none of it counts in this one's memory.
bool generate(const std::string& db, int branches, int items) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        try {
            auto store = srv::Store::open(db);
            srv::DemoCompany::fillGenerated(*store, branches, items);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench-load-e2e: cannot generate: %s\n", e.what());
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// A fyn-appserver process serving `db` on a free loopback port.
class ServerProcess {
public:
    explicit ServerProcess(const std::string& db) {
        const std::string program =
            (fs::read_symlink("/proc/self/exe").parent_path() / "fyn-appserver").string();
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> args = {program, "--db", db, "--listen", "127.0.0.1:0"};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (m_pid <= 0) return;
        m_log = fdopen(out[0], "r");
        // The server names its port on its first line; the request log follows.
        char line[512];
        while (m_port == 0 && std::fgets(line, sizeof line, m_log)) {
            if (const char* at = std::strstr(line, " on port ")) m_port = std::atoi(at + 9);
        }
        m_drain = std::thread([this] {
            char discard[4096];
            while (std::fgets(discard, sizeof discard, m_log)) {
            }
        });
    }
    ~ServerProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_drain.joinable()) m_drain.join();
        if (m_log) std::fclose(m_log);
    }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return m_port; }
    // The processor time the server has used so far, user and system, in milliseconds.
    double cpuMilliseconds() const {
        std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // The fields after the command name, which is in parentheses and may hold blanks.
        std::istringstream rest(text.substr(text.rfind(')') + 2));
        std::string field;
        double user = 0, system = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i) {
            if (i == 14) user = std::atof(field.c_str());
            if (i == 15) system = std::atof(field.c_str());
        }
        return (user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

private:
    pid_t m_pid = -1;
    int m_port = 0;
    std::FILE* m_log = nullptr;
    std::thread m_drain;
};

int measure(int branches, int items) {
    const fs::path dir =
        fs::temp_directory_path() / ("fyn-bench-e2e-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string db = (dir / "generated.sqlite").string();
    const std::string size = std::to_string(branches) + "x" + std::to_string(items);
    int result = 1;
    if (generate(db, branches, items)) {
        ServerProcess server(db);
        if (server.port() > 0) {
            result = 0;
            BenchSession session("bench-load-e2e", server.port());
            if (!session.ok()) return 1;
            Application& app = *session.app;
            TfrmCalcOrcaOper& screen = session.screen();
            screen.LigaEventosEntrada();
            app.dispatch([&] { screen.edtVersao->SetFocus(); });
            app.dispatch([&] { screen.edtVersao->SetText("1"); });
            // Processor time beside the wall time: on a shared machine it tells whose work grew.
            const double clientBefore = cpuMilliseconds(), serverBefore = server.cpuMilliseconds();
            const double load =
                millisecondsOf([&] { app.dispatch([&] { screen.pgcOrcamento->SetFocus(); }); });
            const double clientLoad = cpuMilliseconds(), serverLoad = server.cpuMilliseconds();
            const double reload =
                millisecondsOf([&] { app.dispatch([&] { screen.PressKey(VK_F5); }); });
            std::fprintf(stderr,
                         "bench-load-e2e: %s processor time, load: client %.0f ms, server %.0f "
                         "ms; reload: client %.0f ms, server %.0f ms\n",
                         size.c_str(), clientLoad - clientBefore, serverLoad - serverBefore,
                         cpuMilliseconds() - clientLoad, server.cpuMilliseconds() - serverLoad);
            const double memory = peakMegabytes();
            std::vector<double> pages;
            for (int i = 0; i < 3; ++i)
                for (TTabSheet* sheet : {screen.tshMaoObra, screen.tshMatriz, screen.tshFaturBruto})
                    pages.push_back(millisecondsOf(
                        [&] { app.dispatch([&] { screen.pgcOrcamento->SelectPage(sheet); }); }));
            std::vector<double> reads;
            for (int i = 0; i < 3; ++i)
                reads.push_back(millisecondsOf([&] { readBudgetRows(db, "2026", 1); }));
            const std::string shown = session.platform.messagesText();
            if (!shown.empty())
                std::fprintf(stderr, "bench-load-e2e: messages shown:\n%s", shown.c_str());
            std::fprintf(stderr, "bench-load-e2e: %zu item rows, SQLite read %.1f ms\n",
                         screen.cdsItensOrcamento.Data().rows.size(), median(reads));
            std::printf("bench: load-e2e-%s: %.1f ms\n", size.c_str(), load);
            std::printf("bench: reload-e2e-%s: %.1f ms\n", size.c_str(), reload);
            std::printf("bench: client-memory-%s: %.0f MB\n", size.c_str(), memory);
            std::printf("bench: page-change-%s: %.1f ms\n", size.c_str(), median(pages));
            std::printf("bench: load-e2e-vs-sqlite-read-%s: %.2f x\n", size.c_str(),
                        load / median(reads));
            std::fflush(stdout);
        } else {
            std::fprintf(stderr, "bench-load-e2e: the server did not start\n");
        }
    }
    fs::remove_all(dir);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    int branches = 0, items = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--branches")) branches = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--items")) items = std::atoi(argv[i + 1]);
    }
    if (branches > 0) return measure(branches, items);
    // One process per size: the memory figure is then that of one client and one load.
    int failed = 0;
    for (int n : {1000, 9999}) {
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) _exit(measure(n, items));
        int status = 0;
        waitpid(child, &status, 0);
        failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    return failed == 0 ? 0 : 1;
}
