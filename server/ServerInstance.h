#pragma once

#include "server/rpc/HttpLimits.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace srv {

class Dispatcher;
class GroupCommit;
class HttpServer;
class MethodRegistry;
class RequestLog;
class Sessions;
class Store;

// How an application server is started: the database, where it listens and what it is filled with.
struct ServerOptions {
    std::string db = ":memory:";          // SQLite file, ":memory:" or a postgresql:// URL
    std::string listen = "127.0.0.1:0";   // host:port; port 0 picks any free port
    bool demo = false;                    // fill the demo company when the database is empty
    bool testFixture = false;             // fill the small company the tests share
    std::size_t maxBodyBytes = 64u << 20; // larger request bodies are refused
    // Threads executing calls at once (connections do not hold one; others queue).
    int threads = 16;
    // What each client may take of the HTTP front (its maxBodyBytes and workers come from the
    // two fields above).
    HttpLimits http;
    // How often a remembered session's row is read again, so that a logout on another server
    // or a deactivated operator ends it here too.
    std::chrono::milliseconds sessionRecheck = std::chrono::seconds(2);
    bool log = false; // one line per request on stderr
    // SQLite: flush every commit to disk (an acknowledged save survives a power cut); false
    // still survives a killed server and commits far faster.
    bool syncEachCommit = true;
};

// A complete application server in this process: database, remote methods and HTTP listener.
// Tests of every layer start one; the program fyn-appserver is a thin wrapper around it.
class ServerInstance {
public:
    // Opens the database (migrating it), fills it as asked and starts listening on a
    // background thread; throws std::runtime_error when the database or the port cannot be had.
    explicit ServerInstance(ServerOptions options);
    ~ServerInstance();
    ServerInstance(const ServerInstance&) = delete;
    ServerInstance& operator=(const ServerInstance&) = delete;

    // The port actually listened on.
    int port() const;
    // Stops listening and waits for the requests in progress; idempotent.
    void stop();

    // POST /login without HTTP: body {"operator":..,"password":..} -> the answer's JSON.
    std::string login(const std::string& requestJson);
    // Logs an operator in and returns the token, or throws std::runtime_error with the reason.
    std::string loginToken(const std::string& operatorCode, const std::string& password);
    // POST /rpc/<module> without HTTP: the same dispatcher answers, so the same rules apply.
    std::string dispatch(const std::string& token, const std::string& module,
                         const std::string& requestJson);

    Store& store();

private:
    ServerOptions m_options;
    std::unique_ptr<RequestLog> m_log;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<MethodRegistry> m_registry;
    std::unique_ptr<Sessions> m_sessions;
    std::unique_ptr<GroupCommit> m_writes;
    std::unique_ptr<Dispatcher> m_dispatcher;
    std::unique_ptr<HttpServer> m_http;
};

} // namespace srv
