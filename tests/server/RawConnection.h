#pragma once

#include <chrono>
#include <string>
#include <string_view>

// A TCP connection to the server that sends exactly the bytes it is given, from a chosen
// loopback address (127.0.0.0/8 all reaches this machine), to play clients that an HTTP
// library would not: slow, malformed, abandoned.
class RawConnection {
public:
    RawConnection(int port, const std::string& from = "127.0.0.1");
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return m_fd >= 0; }
    // False when the server has closed the connection (or it never opened).
    bool send(std::string_view bytes);
    // What arrives until the server closes the connection or `timeout` passes.
    std::string receive(std::chrono::milliseconds timeout);
    // The status code of the answer's first line, 0 when none arrived within `timeout`.
    int status(std::chrono::milliseconds timeout);
    // Whether the server closes the connection within `timeout` (what it sent is dropped).
    bool closedWithin(std::chrono::milliseconds timeout);

private:
    int m_fd = -1;
    bool m_closed = false;
    std::string m_received;
};
