#pragma once

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A real HTTP server on loopback that answers /rpc/<module> and /login with whatever the test
// decides, and remembers each request it saw.
class ProtocolTestServer {
public:
    struct Seen {
        std::string path;
        std::string authorization;
        std::string body;
        int remotePort = 0;
    };
    struct Reply {
        int status = 200;
        std::string body;
        std::string contentType = "application/json";
    };
    using Handler = std::function<Reply(const httplib::Request&)>;

    explicit ProtocolTestServer(Handler handler, int keepAliveSeconds = 5)
        : m_handler(std::move(handler)) {
        m_server.set_keep_alive_timeout(keepAliveSeconds);
        auto serve = [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard lock(m_mutex);
                m_seen.push_back(
                    {req.path, req.get_header_value("Authorization"), req.body, req.remote_port});
            }
            const Reply reply = m_handler(req);
            res.status = reply.status;
            res.set_content(reply.body, reply.contentType.c_str());
        };
        m_server.Post(R"(/rpc/(.+))", serve);
        m_server.Post("/login", serve);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~ProtocolTestServer() {
        m_server.stop();
        m_thread.join();
    }

    int port() const { return m_port; }

    std::vector<Seen> seen() const {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }

    Seen last() const {
        std::lock_guard lock(m_mutex);
        return m_seen.empty() ? Seen{} : m_seen.back();
    }

    // An answer body {"ok":true,"result":<result>,"byref":{<byref>}} from encoded parts.
    static Reply ok(const std::string& resultJson, const std::string& byRefMembers = "") {
        return {200,
                R"({"ok":true,"result":)" + resultJson + R"(,"byref":{)" + byRefMembers + "}}"};
    }
    static Reply error(const std::string& message, int status = 200) {
        return {status, R"({"ok":false,"error":")" + message + R"("})"};
    }

private:
    Handler m_handler;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<Seen> m_seen;
};

// A loopback port on which nothing listens: bound for a moment, never listened on, closed.
inline int closedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}
