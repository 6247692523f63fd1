#include "server/rpc/HttpServer.h"

#include "server/rpc/Dispatcher.h"
#include "server/rpc/RequestLog.h"
#include "server/rpc/RpcResponse.h"

#include <httplib.h>

#include <sys/socket.h>

#include <chrono>
#include <stdexcept>

namespace srv {

namespace {

constexpr const char* kJson = "application/json; charset=utf-8";

std::string bearerToken(const httplib::Request& req) {
    const std::string header = req.get_header_value("Authorization");
    const std::string prefix = "Bearer ";
    if (header.size() > prefix.size() && header.compare(0, prefix.size(), prefix) == 0)
        return header.substr(prefix.size());
    return {};
}

// The library listens with a backlog of 5: a crowd of clients connecting at once overflows it
// and some connections are dropped unanswered. Listening again on the bound socket raises it.
class WideBacklogServer : public httplib::Server {
public:
    void widenBacklog() { ::listen(svr_sock_, SOMAXCONN); }
};

void answer(httplib::Response& res, const DispatchResult& result) {
    res.status = result.status;
    res.set_content(result.body, kJson);
}

} // namespace

HttpServer::HttpServer(Dispatcher& dispatcher, std::size_t maxBodyBytes, int threads,
                       RequestLog* log)
    : m_dispatcher(dispatcher), m_maxBodyBytes(maxBodyBytes), m_threads(threads > 0 ? threads : 1),
      m_log(log), m_server(std::make_unique<WideBacklogServer>()) {
    installRoutes();
}

HttpServer::~HttpServer() {
    stop();
}

void HttpServer::installRoutes() {
    httplib::Server& s = *m_server;
    const int threads = m_threads;
    s.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
    s.set_payload_max_length(m_maxBodyBytes);
    // The library's default also sets SO_REUSEPORT, which lets a second server bind the same
    // port and silently share its connections; a restart only needs SO_REUSEADDR.
    s.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    s.set_keep_alive_max_count(1000);
    // Budget answers are large: do not let them wait for delayed acknowledgements.
    s.set_tcp_nodelay(true);
    s.set_read_timeout(30, 0);
    s.set_write_timeout(30, 0);

    s.Post("/login", [this](const httplib::Request& req, httplib::Response& res) {
        answer(res, m_dispatcher.login(req.body));
    });
    s.Post(R"(/rpc/([^/]+))", [this](const httplib::Request& req, httplib::Response& res) {
        answer(res, m_dispatcher.call(bearerToken(req), req.matches[1].str(), req.body));
    });
    // Errors that never reach a route (unknown path, body too large, bad method) still get
    // the JSON shape every client reads.
    s.set_error_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return; // a route's own error answer
        std::string message;
        switch (res.status) {
        case 413:
            message = "Requisição excede o tamanho máximo permitido.";
            break;
        case 404:
        case 405:
            message =
                "Endereço não atendido por este servidor: " + req.method + " " + req.path + ".";
            break;
        default:
            message = "Requisição inválida (HTTP " + std::to_string(res.status) + ").";
        }
        res.set_content(RpcResponse::failure(message), kJson);
        if (m_log) m_log->request(req.method + " " + req.path, "", 0.0, res.status, message);
    });
    s.set_exception_handler(
        [this](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
            std::string what = "desconhecido";
            try {
                std::rethrow_exception(ep);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            res.status = 500;
            res.set_content(RpcResponse::failure("Erro interno do servidor: " + what), kJson);
            if (m_log) m_log->event("exception", what);
        });
}

void HttpServer::start(const std::string& host, int port) {
    if (m_thread.joinable()) throw std::runtime_error("HTTP server already started");
    if (port == 0)
        m_port = m_server->bind_to_any_port(host);
    else
        m_port = m_server->bind_to_port(host, port) ? port : -1;
    if (m_port <= 0)
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
    static_cast<WideBacklogServer&>(*m_server).widenBacklog();
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() before the loop runs would be lost and leave the loop running for ever.
    for (int waited = 0; !m_server->is_running() && waited < 5000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (m_log) m_log->event("listening", host + ":" + std::to_string(m_port));
}

void HttpServer::stop() {
    if (!m_thread.joinable()) return;
    m_server->stop();
    m_thread.join();
    if (m_log) m_log->event("stopped");
}

} // namespace srv
