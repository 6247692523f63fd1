#include "server/ServerInstance.h"

#include "server/demo/DemoCompany.h"
#include "server/methods/GroupCommit.h"
#include "server/methods/Methods.h"
#include "server/rpc/Dispatcher.h"
#include "server/rpc/HttpServer.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RequestLog.h"
#include "server/rpc/Sessions.h"
#include "server/store/Store.h"

#include <malloc.h>

#include <algorithm>
#include <ctime>
#include <stdexcept>
#include <thread>

namespace srv {

namespace {

std::pair<std::string, int> splitListen(const std::string& listen) {
    const std::size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == listen.size())
        throw std::runtime_error("listen address must be host:port, got \"" + listen + "\"");
    const std::string portText = listen.substr(colon + 1);
    int port = 0;
    for (char c : portText) {
        if (c < '0' || c > '9' || port > 65535)
            throw std::runtime_error("bad port in listen address \"" + listen + "\"");
        port = port * 10 + (c - '0');
    }
    if (port > 65535) throw std::runtime_error("bad port in listen address \"" + listen + "\"");
    return {listen.substr(0, colon), port};
}

int currentYear() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_year + 1900;
}

} // namespace

ServerInstance::ServerInstance(ServerOptions options) : m_options(std::move(options)) {
    // A request thread that builds a large answer in a heap of its own faults all of it in
    // again on every request; a few heaps shared by all threads stay warm (measured: a full
    // budget load takes half the time).
    mallopt(M_ARENA_MAX, static_cast<int>(std::max(2u, std::thread::hardware_concurrency())));
    const auto [host, port] = splitListen(m_options.listen);
    if (m_options.log) m_log = std::make_unique<RequestLog>();
    Store::Options storeOptions;
    // More database connections than executing calls would only sit idle.
    storeOptions.poolSize = std::clamp(m_options.threads, 1, 16);
    storeOptions.syncEachCommit = m_options.syncEachCommit;
    m_store = Store::open(m_options.db, storeOptions);
    if ((m_options.demo || m_options.testFixture) && m_store->isEmpty()) {
        if (m_options.testFixture)
            DemoCompany::fillTestFixture(*m_store);
        else
            DemoCompany::fill(*m_store, currentYear());
        if (m_log) m_log->event("filled", m_options.testFixture ? "test fixture" : "demo company");
    }
    m_registry = std::make_unique<MethodRegistry>();
    registerMethods(*m_registry);
    m_sessions =
        std::make_unique<Sessions>(*m_store, std::chrono::hours(12), m_options.sessionRecheck);
    m_writes = std::make_unique<GroupCommit>(*m_store);
    m_dispatcher = std::make_unique<Dispatcher>(*m_store, *m_registry, *m_sessions, m_log.get(),
                                                m_writes.get());
    HttpLimits limits = m_options.http;
    limits.maxBodyBytes = m_options.maxBodyBytes;
    limits.workers = m_options.threads;
    m_http = std::make_unique<HttpServer>(*m_dispatcher, limits, m_log.get());
    m_http->start(host, port);
}

ServerInstance::~ServerInstance() {
    stop();
}

int ServerInstance::port() const {
    return m_http->port();
}

void ServerInstance::stop() {
    if (m_http) m_http->stop();
}

std::string ServerInstance::login(const std::string& requestJson) {
    return m_dispatcher->login(requestJson).body;
}

std::string ServerInstance::loginToken(const std::string& operatorCode,
                                       const std::string& password) {
    try {
        return m_sessions->login(operatorCode, password).token;
    } catch (const std::exception& e) {
        throw std::runtime_error(e.what());
    }
}

std::string ServerInstance::dispatch(const std::string& token, const std::string& module,
                                     const std::string& requestJson) {
    return m_dispatcher->call(token, module, requestJson).body;
}

Store& ServerInstance::store() {
    return *m_store;
}

} // namespace srv
