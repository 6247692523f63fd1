#include "server/rpc/HttpServer.h"

#include "server/rpc/Dispatcher.h"
#include "server/rpc/RequestLog.h"
#include "server/rpc/RpcResponse.h"
#include "server/rpc/SlowClientGuard.h"
#include "server/rpc/WorkerPool.h"
#include "services/data/BinaryWire.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace srv {

namespace {

constexpr const char* kJson = "application/json; charset=utf-8";

DispatchResult failure(int status, const std::string& message) {
    return {status, RpcResponse::failure(message)};
}

DispatchResult tooLarge() {
    return failure(413, "Requisição excede o tamanho máximo permitido.");
}

bool sameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// How the header says the body is framed; more than one way is refused, because a proxy in
// front may read it the other way and smuggle a second request past it.
struct Framing {
    int contentLengths = 0;
    int encodings = 0;
    bool chunked = false;
    const char* contentLength = nullptr;
};

MHD_Result countFraming(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto& f = *static_cast<Framing*>(cls);
    if (sameLetters(key, "Content-Length")) {
        ++f.contentLengths;
        f.contentLength = value;
    } else if (sameLetters(key, "Transfer-Encoding")) {
        ++f.encodings;
        f.chunked = value && sameLetters(value, "chunked");
    }
    return MHD_YES;
}

// Whether an Accept header lists the binary answer form.
bool acceptsBinary(const char* accept) {
    if (!accept) return false;
    const std::string_view a(accept), type = binarywire::kContentType;
    for (std::size_t i = 0; i + type.size() <= a.size(); ++i)
        if (sameLetters(a.substr(i, type.size()), type)) return true;
    return false;
}

bool isJson(const char* contentType) {
    std::string_view t(contentType);
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    const std::string_view json = "application/json";
    if (t.size() < json.size() || !sameLetters(t.substr(0, json.size()), json)) return false;
    return t.size() == json.size() || t[json.size()] == ';' || t[json.size()] == ' ';
}

// A decimal Content-Length; false for anything else (a sign, blanks, an overflow).
bool lengthValue(const char* text, unsigned long long& out) {
    if (!text || !*text) return false;
    out = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        const unsigned d = static_cast<unsigned>(*p - '0');
        if (out > (~0ull - d) / 10) return false;
        out = out * 10 + d;
    }
    return true;
}

std::string bearerToken(MHD_Connection* connection) {
    const char* header = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Authorization");
    const std::string_view prefix = "Bearer ";
    if (!header) return {};
    const std::string_view h(header);
    if (h.size() > prefix.size() && h.substr(0, prefix.size()) == prefix)
        return std::string(h.substr(prefix.size()));
    return {};
}

std::string clientAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (!info || !info->client_addr) return {};
    char text[INET6_ADDRSTRLEN] = {};
    const sockaddr* a = info->client_addr;
    if (a->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a)->sin_addr, text, sizeof text);
    else if (a->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr, text,
                  sizeof text);
    return text;
}

SlowClientGuard::Connection* trackedOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<SlowClientGuard::Connection*>(info->socket_context) : nullptr;
}

void deleteBody(void* cls) {
    delete static_cast<std::string*>(cls);
}

} // namespace

struct HttpServer::Request {
    enum class Route { Login, Logout, Rpc };
    Route route = Route::Rpc;
    std::string module, token, address, body, call;
    std::size_t limit = 0;
    SlowClientGuard::Connection* tracked = nullptr;
    bool binary = false;     // the client takes a successful answer in binary
    bool answered = false;   // a response is queued
    bool started = false;    // handed to a worker
    bool discarding = false; // over the limit: read to the end, then refused
    std::size_t discarded = 0;
    DispatchResult result;
};

// The library's callbacks, forwarding to the server they were registered with.
struct HttpServerCallbacks {
    static MHD_Result request(void* cls, MHD_Connection* connection, const char* url,
                              const char* method, const char*, const char* upload,
                              std::size_t* uploadSize, void** context) {
        return static_cast<HttpServer*>(cls)->onRequest(connection, url, method, upload, uploadSize,
                                                        context) == 1
                   ? MHD_YES
                   : MHD_NO;
    }

    static void completed(void* cls, MHD_Connection* connection, void** context,
                          MHD_RequestTerminationCode) {
        auto& server = *static_cast<HttpServer*>(cls);
        auto* request = static_cast<HttpServer::Request*>(*context);
        if (request && request->started) --server.m_answering;
        delete request;
        *context = nullptr;
        server.m_guard->idle(trackedOf(connection));
    }

    static void connection(void* cls, MHD_Connection* connection, void** socketContext,
                           MHD_ConnectionNotificationCode code) {
        auto& guard = *static_cast<HttpServer*>(cls)->m_guard;
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* info =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            *socketContext = info ? guard.opened(info->connect_fd) : nullptr;
        } else {
            guard.closed(static_cast<SlowClientGuard::Connection*>(*socketContext));
            *socketContext = nullptr;
        }
    }

    static void log(void* cls, const char* format, va_list args) {
        auto* log = static_cast<RequestLog*>(cls);
        if (!log) return;
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        std::string line(text);
        while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
            line.pop_back();
        log->event("http", line);
    }
};

HttpServer::HttpServer(Dispatcher& dispatcher, HttpLimits limits, RequestLog* log)
    : m_dispatcher(dispatcher), m_limits(limits), m_log(log),
      m_guard(std::make_unique<SlowClientGuard>(
          std::chrono::seconds(limits.headerTimeoutSeconds > 0 ? limits.headerTimeoutSeconds : 1),
          limits.minBodyBytesPerSecond)),
      m_workers(std::make_unique<WorkerPool>(limits.workers)) {}

HttpServer::~HttpServer() {
    stop();
}

std::size_t HttpServer::slowClientsClosed() const noexcept {
    return m_guard->closedCount();
}

int HttpServer::answer(MHD_Connection* connection, DispatchResult result, Request* request) {
    // The body moves to the library: a large answer is never copied.
    auto* body = new std::string(std::move(result.body));
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        body->size(), body->data(), deleteBody, body);
    if (!response) {
        delete body;
        return 0;
    }
    const std::string binaryType(binarywire::kContentType);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE,
                            result.binary ? binaryType.c_str() : kJson);
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(result.status), response);
    MHD_destroy_response(response);
    if (request) request->answered = true;
    return queued == MHD_YES ? 1 : 0;
}

DispatchResult HttpServer::screen(MHD_Connection* connection, const char* url, const char* method,
                                  Request& request) {
    Framing framing;
    MHD_get_connection_values(connection, MHD_HEADER_KIND, countFraming, &framing);
    if (framing.contentLengths > 1 || framing.encodings > 1 ||
        (framing.contentLengths > 0 && framing.encodings > 0) ||
        (framing.encodings > 0 && !framing.chunked))
        return failure(400, "Requisição inválida: o tamanho do corpo deve ser informado de um "
                            "só modo (um Content-Length ou Transfer-Encoding: chunked).");
    unsigned long long declared = 0;
    if (framing.contentLength && !lengthValue(framing.contentLength, declared))
        return failure(400, "Requisição inválida: Content-Length inválido.");

    const std::string path(url ? url : "");
    const std::string verb(method ? method : "");
    request.call = verb + " " + path;
    const std::string_view rpc = "/rpc/";
    if (path == "/login") {
        request.route = Request::Route::Login;
    } else if (path == "/logout") {
        request.route = Request::Route::Logout;
    } else if (path.size() > rpc.size() && path.compare(0, rpc.size(), rpc) == 0 &&
               path.find('/', rpc.size()) == std::string::npos) {
        request.route = Request::Route::Rpc;
        request.module = path.substr(rpc.size());
    } else {
        return failure(404, "Endereço não atendido por este servidor: " + request.call + ".");
    }
    if (verb != "POST")
        return failure(405, "Endereço não atendido por este servidor: " + request.call + ".");

    const char* type = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Type");
    const bool hasBody = framing.chunked || declared > 0;
    if (type ? !isJson(type) : hasBody)
        return failure(415, std::string("Tipo de conteúdo não aceito") +
                                (type ? std::string(" (") + type + ")" : std::string()) +
                                "; as chamadas enviam application/json.");

    request.address = clientAddress(connection);
    request.binary =
        acceptsBinary(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Accept"));
    if (request.route != Request::Route::Login) {
        request.token = bearerToken(connection);
        if (std::optional<DispatchResult> refusal = m_dispatcher.admit(request.token))
            return *refusal;
    }
    request.limit = request.route == Request::Route::Rpc ? m_limits.maxBodyBytes
                                                         : m_limits.maxAnonymousBodyBytes;
    // A client with a session that sends a little too much gets its refusal after the body,
    // where it reads it; anything else over the limit is refused at once.
    if (declared > request.limit) {
        if (request.route != Request::Route::Rpc || declared > 2 * request.limit)
            return failure(413, "Requisição excede o tamanho máximo permitido.");
        request.discarding = true;
        return {};
    }
    // Only a client with a session gets here with a large body: its size may be trusted.
    if (request.route == Request::Route::Rpc)
        request.body.reserve(static_cast<std::size_t>(declared));
    return {};
}

void HttpServer::execute(MHD_Connection* connection, Request& request) {
    m_guard->busy(request.tracked);
    ++m_answering;
    MHD_suspend_connection(connection);
    Request* r = &request;
    const bool queued = !m_stopping && m_workers->submit([this, connection, r] {
        try {
            switch (r->route) {
            case Request::Route::Login:
                r->result = m_dispatcher.login(r->body, r->address);
                break;
            case Request::Route::Logout:
                r->result = m_dispatcher.logout(r->token);
                break;
            case Request::Route::Rpc:
                r->result = m_dispatcher.call(r->token, r->module, r->body, r->binary);
                break;
            }
        } catch (const std::exception& e) {
            r->result = failure(500, std::string("Erro interno do servidor: ") + e.what());
        }
        // Freed here, after the answer is handed back, rather than before it goes out.
        const Variant spent = std::move(r->result.spent);
        MHD_resume_connection(connection);
    });
    if (!queued) {
        r->result = failure(503, "Servidor em parada; tente novamente em instantes.");
        MHD_resume_connection(connection);
    }
}

int HttpServer::onRequest(MHD_Connection* connection, const char* url, const char* method,
                          const char* upload, std::size_t* uploadSize, void** context) {
    auto* request = static_cast<Request*>(*context);
    if (!request) {
        request = new Request;
        *context = request;
        request->tracked = trackedOf(connection);
        m_guard->bodyStarted(request->tracked);
        DispatchResult refusal = screen(connection, url, method, *request);
        if (refusal.body.empty()) return 1;
        if (m_log)
            m_log->request(request->call, "", 0.0, refusal.status, "refused before the body");
        return answer(connection, std::move(refusal), request);
    }
    if (request->answered) {
        // Refused before its body: whatever still arrives is dropped.
        *uploadSize = 0;
        return 1;
    }
    if (*uploadSize > 0) {
        const std::size_t n = *uploadSize;
        *uploadSize = 0;
        m_guard->received(request->tracked, n);
        if (!request->discarding && request->body.size() + n > request->limit) {
            request->discarding = request->route == Request::Route::Rpc;
            request->discarded = request->body.size();
            request->body = std::string();
            if (!request->discarding) return answer(connection, tooLarge(), request);
        }
        if (request->discarding) {
            request->discarded += n;
            if (request->discarded > 2 * request->limit)
                return answer(connection, tooLarge(), request);
            return 1;
        }
        request->body.append(upload, n);
        return 1;
    }
    if (request->discarding) return answer(connection, tooLarge(), request);
    if (!request->started) {
        request->started = true;
        execute(connection, *request);
        return 1;
    }
    return answer(connection, std::move(request->result), request);
}

void HttpServer::start(const std::string& host, int port) {
    if (m_daemon) throw std::runtime_error("HTTP server already started");
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (port < 0 || port > 65535 ||
        getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
    sockaddr_storage address{};
    std::memcpy(&address, found->ai_addr, found->ai_addrlen);
    const bool v6 = found->ai_family == AF_INET6;
    freeaddrinfo(found);

    // ITC lets a quiesce reach every event thread of the pool.
    unsigned flags =
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ITC | MHD_USE_ERROR_LOG;
    if (v6) flags |= MHD_USE_IPv6;
    const unsigned eventThreads = std::min(4u, std::max(2u, std::thread::hardware_concurrency()));
    m_daemon = MHD_start_daemon(
        flags, static_cast<uint16_t>(port), nullptr, nullptr, &HttpServerCallbacks::request, this,
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<const sockaddr*>(&address),
        MHD_OPTION_THREAD_POOL_SIZE, eventThreads, MHD_OPTION_CONNECTION_LIMIT,
        static_cast<unsigned>(m_limits.maxConnections), MHD_OPTION_PER_IP_CONNECTION_LIMIT,
        static_cast<unsigned>(m_limits.maxConnectionsPerAddress), MHD_OPTION_CONNECTION_TIMEOUT,
        static_cast<unsigned>(m_limits.headerTimeoutSeconds), MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        static_cast<std::size_t>(64u << 10), MHD_OPTION_LISTEN_BACKLOG_SIZE,
        static_cast<unsigned>(SOMAXCONN), MHD_OPTION_NOTIFY_COMPLETED,
        &HttpServerCallbacks::completed, this, MHD_OPTION_NOTIFY_CONNECTION,
        &HttpServerCallbacks::connection, this, MHD_OPTION_EXTERNAL_LOGGER,
        &HttpServerCallbacks::log, static_cast<void*>(m_log), MHD_OPTION_END);
    if (!m_daemon)
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
    const MHD_DaemonInfo* info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    m_port = info ? info->port : port;
    if (m_log) m_log->event("listening", host + ":" + std::to_string(m_port));
}

void HttpServer::stop() {
    if (!m_daemon) return;
    m_stopping = true;
    // No quiesce: with a pool of epoll threads it races the threads' own handling of the
    // listening socket and can abort the process. Calls that arrive from now on are answered 503.
    // Calls already executing finish; their answers get a moment to leave before every
    // connection is closed, slow readers included.
    m_workers->drain();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (m_answering.load() > 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
    if (m_log) m_log->event("stopped");
}

} // namespace srv
