#include "tests/server/RawConnection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

RawConnection::RawConnection(int port, const std::string& from) {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_fd < 0) return;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, from.c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(m_fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

RawConnection::~RawConnection() {
    if (m_fd >= 0) ::close(m_fd);
}

bool RawConnection::send(std::string_view bytes) {
    while (m_fd >= 0 && !bytes.empty()) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return m_fd >= 0;
}

std::string RawConnection::receive(std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (m_fd >= 0 && !m_closed) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[65536];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            m_closed = true;
            break;
        }
        m_received.append(buffer, static_cast<std::size_t>(n));
    }
    return m_received;
}

int RawConnection::status(std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (m_received.find("\r\n") == std::string::npos && !m_closed &&
           std::chrono::steady_clock::now() < until)
        receive(std::chrono::milliseconds(50));
    // "HTTP/1.1 200 OK"
    if (m_received.size() < 12 || m_received.compare(0, 5, "HTTP/") != 0) return 0;
    return std::stoi(m_received.substr(9, 3));
}

bool RawConnection::closedWithin(std::chrono::milliseconds timeout) {
    receive(timeout);
    return m_closed;
}
