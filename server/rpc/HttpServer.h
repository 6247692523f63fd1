#pragma once

#include "server/rpc/HttpLimits.h"

#include <atomic>
#include <memory>
#include <string>

struct MHD_Daemon;
struct MHD_Connection;

namespace srv {

class Dispatcher;
class RequestLog;
class SlowClientGuard;
class WorkerPool;
struct DispatchResult;

// The HTTP front of the server: POST /login, /logout and /rpc/<module>. A few event threads
// hold every connection (thousands of idle or slow ones cost a socket and a small buffer
// each); a pool of workers executes the calls. Everything a request is refused for without
// reading its body (framing, path, content type, size, session) is decided from the header,
// so a client without a session never makes the server hold more than a small body.
class HttpServer {
public:
    HttpServer(Dispatcher& dispatcher, HttpLimits limits, RequestLog* log = nullptr);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds host:port (port 0: any free port) and starts serving; throws std::runtime_error
    // when the address cannot be bound.
    void start(const std::string& host, int port);
    int port() const noexcept { return m_port; }
    // Stops accepting, lets the calls already executing finish and answer, then closes every
    // connection whatever its client is doing; idempotent.
    void stop();

    // Connections closed for sending too slowly so far.
    std::size_t slowClientsClosed() const noexcept;

private:
    struct Request;
    friend struct HttpServerCallbacks;

    int onRequest(MHD_Connection* connection, const char* url, const char* method,
                  const char* upload, std::size_t* uploadSize, void** context);
    // The refusal decided from the header alone, or an empty body when the request may go on.
    DispatchResult screen(MHD_Connection* connection, const char* url, const char* method,
                          Request& request);
    void execute(MHD_Connection* connection, Request& request);
    int answer(MHD_Connection* connection, DispatchResult result, Request* request);

    Dispatcher& m_dispatcher;
    HttpLimits m_limits;
    RequestLog* m_log;
    std::unique_ptr<SlowClientGuard> m_guard;
    std::unique_ptr<WorkerPool> m_workers;
    MHD_Daemon* m_daemon = nullptr;
    std::atomic<int> m_answering{0};
    std::atomic<bool> m_stopping{false};
    int m_port = 0;
};

} // namespace srv
