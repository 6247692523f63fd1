#include "server/rpc/SlowClientGuard.h"

#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace srv {

struct SlowClientGuard::Connection {
    enum class Phase { Header, Body, Busy, Closing };
    int fd = -1;
    sockaddr_storage peer{};
    Phase phase = Phase::Header;
    std::chrono::steady_clock::time_point since;
    std::size_t bytes = 0;
};

SlowClientGuard::SlowClientGuard(std::chrono::milliseconds headerDeadline,
                                 std::size_t minBodyBytesPerSecond)
    : m_deadline(headerDeadline), m_minRate(minBodyBytesPerSecond) {
    m_watcher = std::thread([this] { watch(); });
}

SlowClientGuard::~SlowClientGuard() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stop.notify_all();
    m_watcher.join();
    for (Connection* c : m_connections)
        delete c;
}

SlowClientGuard::Connection* SlowClientGuard::opened(int fd) {
    auto* c = new Connection;
    c->fd = fd;
    socklen_t length = sizeof c->peer;
    ::getpeername(fd, reinterpret_cast<sockaddr*>(&c->peer), &length);
    c->since = std::chrono::steady_clock::now();
    std::lock_guard lock(m_mutex);
    m_connections.insert(c);
    return c;
}

void SlowClientGuard::closed(Connection* connection) {
    if (!connection) return;
    std::lock_guard lock(m_mutex);
    m_connections.erase(connection);
    delete connection;
}

void SlowClientGuard::bodyStarted(Connection* connection) {
    if (!connection) return;
    std::lock_guard lock(m_mutex);
    if (connection->phase == Connection::Phase::Closing) return;
    connection->phase = Connection::Phase::Body;
    connection->since = std::chrono::steady_clock::now();
    connection->bytes = 0;
}

void SlowClientGuard::received(Connection* connection, std::size_t bytes) {
    if (!connection) return;
    std::lock_guard lock(m_mutex);
    connection->bytes += bytes;
}

void SlowClientGuard::busy(Connection* connection) {
    if (!connection) return;
    std::lock_guard lock(m_mutex);
    if (connection->phase != Connection::Phase::Closing)
        connection->phase = Connection::Phase::Busy;
}

void SlowClientGuard::idle(Connection* connection) {
    if (!connection) return;
    std::lock_guard lock(m_mutex);
    if (connection->phase == Connection::Phase::Closing) return;
    connection->phase = Connection::Phase::Header;
    connection->since = std::chrono::steady_clock::now();
}

void SlowClientGuard::watch() {
    std::unique_lock lock(m_mutex);
    const auto period =
        std::min(std::chrono::milliseconds(250), m_deadline / 4 + std::chrono::milliseconds(1));
    while (!m_stop.wait_for(lock, period, [this] { return m_stopping; }))
        sweep(std::chrono::steady_clock::now());
}

void SlowClientGuard::sweep(std::chrono::steady_clock::time_point now) {
    using Phase = Connection::Phase;
    for (Connection* c : m_connections) {
        const auto elapsed = now - c->since;
        bool late = false;
        if (c->phase == Phase::Header) {
            late = elapsed > m_deadline;
        } else if (c->phase == Phase::Body && elapsed > m_deadline) {
            const double seconds = std::chrono::duration<double>(elapsed).count();
            late = static_cast<double>(c->bytes) < static_cast<double>(m_minRate) * seconds;
        }
        if (!late) continue;
        // The event thread owning the socket sees the shutdown as the peer leaving and closes
        // the connection the ordinary way. Should the socket number already belong to another
        // connection (closed and reused just now), its peer differs and it is left alone.
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        if (::getpeername(c->fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
            std::memcmp(&peer, &c->peer, length) == 0)
            ::shutdown(c->fd, SHUT_RDWR);
        c->phase = Phase::Closing;
        ++m_closedCount;
    }
}

} // namespace srv
