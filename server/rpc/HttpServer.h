#pragma once

#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace srv {

class Dispatcher;
class RequestLog;

// The HTTP front of the server: POST /login and POST /rpc/<module> on a bounded pool of
// request threads, keep-alive, a limit on body size. Listens on a background thread.
class HttpServer {
public:
    HttpServer(Dispatcher& dispatcher, std::size_t maxBodyBytes, int threads,
               RequestLog* log = nullptr);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds host:port (port 0: any free port) and starts serving; throws std::runtime_error
    // when the address cannot be bound.
    void start(const std::string& host, int port);
    int port() const noexcept { return m_port; }
    // Stops accepting, finishes the requests in progress and joins the listener; idempotent.
    void stop();

private:
    void installRoutes();

    Dispatcher& m_dispatcher;
    std::size_t m_maxBodyBytes;
    int m_threads;
    RequestLog* m_log;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
};

} // namespace srv
