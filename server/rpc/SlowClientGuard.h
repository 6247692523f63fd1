#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace srv {

// Closes the connections of clients that send too slowly: a request header that has not
// arrived whole within the deadline, a body below the minimum rate. The event threads report
// each connection's progress; a thread of its own checks them a few times a second and shuts
// the sockets of the laggards down, which the event threads then see as a closed connection.
// Thread-safe.
class SlowClientGuard {
public:
    struct Connection;

    SlowClientGuard(std::chrono::milliseconds headerDeadline, std::size_t minBodyBytesPerSecond);
    ~SlowClientGuard();
    SlowClientGuard(const SlowClientGuard&) = delete;
    SlowClientGuard& operator=(const SlowClientGuard&) = delete;

    // A connection accepted on socket `fd`: its first header is due from now.
    Connection* opened(int fd);
    // The connection is gone; `connection` is freed.
    void closed(Connection* connection);
    // The header is complete: the body is due at the minimum rate from now.
    void bodyStarted(Connection* connection);
    void received(Connection* connection, std::size_t bytes);
    // The call is executing or being answered: no deadline of the guard's.
    void busy(Connection* connection);
    // The answer went out; the next request's header is due from now (keep-alive).
    void idle(Connection* connection);

    // How many connections the guard has closed so far.
    std::size_t closedCount() const noexcept { return m_closedCount.load(); }

private:
    void watch();
    void sweep(std::chrono::steady_clock::time_point now);

    const std::chrono::milliseconds m_deadline;
    const std::size_t m_minRate;
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    std::unordered_set<Connection*> m_connections;
    std::atomic<std::size_t> m_closedCount{0};
    std::thread m_watcher;
};

} // namespace srv
