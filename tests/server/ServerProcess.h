#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// A fyn-appserver child process on the test company; its log goes to a file so that it never
// blocks on a pipe. Killed on destruction if still running.
class ServerProcess {
public:
    ServerProcess(const std::string& db, const std::filesystem::path& log,
                  std::vector<std::string> extraArgs = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool alive();
    // 0 when the program never said where it listens.
    int port() const { return m_port; }
    // Resident memory of the process in KiB, from /proc; 0 when it cannot be read.
    long residentKiB() const;
    // Signals the process and returns its wait status.
    int signalAndWait(int sig);
    // Signals the process and waits at most `seconds`; nullopt if it is still running then.
    std::optional<int> signalAndWaitFor(int sig, double seconds);

private:
    pid_t m_pid = -1;
    int m_port = 0;
    int m_status = 0;
};
