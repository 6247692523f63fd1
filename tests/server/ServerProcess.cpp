#include "tests/server/ServerProcess.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

ServerProcess::ServerProcess(const std::string& db, const std::filesystem::path& log,
                             std::vector<std::string> extraArgs) {
    std::vector<std::string> args = {FYN_APPSERVER_PATH, "--db",           db,          "--listen",
                                     "127.0.0.1:0",      "--test-fixture", "--threads", "2"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        std::FILE* out = std::freopen(log.c_str(), "w", stderr);
        (void)out;
        ::execv(FYN_APPSERVER_PATH, argv.data());
        ::_exit(127);
    }
    // The program names its port once it listens.
    for (int i = 0; i < 3000 && m_port == 0 && alive(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(log);
        std::string line;
        while (std::getline(in, line)) {
            const auto at = line.find(" on port ");
            if (at != std::string::npos) m_port = std::stoi(line.substr(at + 9));
        }
    }
}

ServerProcess::~ServerProcess() {
    if (m_pid > 0 && alive()) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

bool ServerProcess::alive() {
    return m_pid > 0 && ::waitpid(m_pid, &m_status, WNOHANG) == 0;
}

int ServerProcess::signalAndWait(int sig) {
    ::kill(m_pid, sig);
    ::waitpid(m_pid, &m_status, 0);
    m_pid = -1;
    return m_status;
}

std::optional<int> ServerProcess::signalAndWaitFor(int sig, double seconds) {
    ::kill(m_pid, sig);
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
            m_pid = -1;
            return m_status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

long ServerProcess::residentKiB() const {
    std::ifstream in("/proc/" + std::to_string(m_pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}
