#include "server/rpc/Dispatcher.h"

#include "server/rpc/CallContext.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RequestLog.h"
#include "server/rpc/RpcError.h"
#include "server/rpc/RpcRequest.h"
#include "server/rpc/RpcResponse.h"
#include "server/rpc/Sessions.h"
#include "server/store/DatabaseError.h"
#include "services/data/DataPacket.h"

#include <chrono>
#include <map>

namespace srv {

namespace {

double elapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

DispatchResult refusal(const RpcError& e) {
    return {static_cast<int>(e.status()), RpcResponse::failure(e.message())};
}

// What the operator is told when the database refuses or fails.
DispatchResult databaseFailure(const DatabaseError& e) {
    using Kind = DatabaseError::Kind;
    switch (e.kind()) {
    case Kind::Busy:
    case Kind::Conflict:
        return {503, RpcResponse::failure("Banco de dados ocupado por outras gravações; tente "
                                          "novamente. Nada foi gravado.")};
    case Kind::Connection:
        return {503, RpcResponse::failure(std::string("Banco de dados indisponível: ") + e.what())};
    case Kind::Constraint:
        return {400, RpcResponse::failure(std::string("Valor recusado pelo banco de dados (") +
                                          e.what() + "). Nada foi gravado.")};
    default:
        return {500, RpcResponse::failure(std::string("Erro interno do servidor: ") + e.what())};
    }
}

void checkArguments(const MethodEntry& entry, const std::vector<RpcParam>& params) {
    if (params.size() != entry.kinds.size())
        throw RpcError(entry.name + ": número de argumentos inválido (esperado " +
                           std::to_string(entry.kinds.size()) + ", recebido " +
                           std::to_string(params.size()) + ").",
                       RpcError::BadRequest);
    for (std::size_t i = 0; i < params.size(); ++i)
        if (!paramAccepts(entry.kinds[i], params[i].value))
            throw RpcError(entry.name + ": argumento " + std::to_string(i + 1) + " deve ser " +
                               paramKindName(entry.kinds[i]) + " (recebido " +
                               valueKindName(params[i].value) + ").",
                           RpcError::BadRequest);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Variant& v = params[i].value;
        if (entry.kinds[i] == ParamKind::Date && !v.isNull() && !plausibleDate(v.toDouble()))
            throw RpcError(entry.name + ": argumento " + std::to_string(i + 1) +
                               " é uma data fora do intervalo de 1900 a 9999.",
                           RpcError::BadRequest);
    }
}

} // namespace

Dispatcher::Dispatcher(Store& store, const MethodRegistry& registry, Sessions& sessions,
                       RequestLog* log, GroupCommit* writes)
    : m_store(store), m_registry(registry), m_sessions(sessions), m_log(log), m_writes(writes) {}

DispatchResult Dispatcher::login(std::string_view body, const std::string& address) {
    const auto start = std::chrono::steady_clock::now();
    std::string operatorCode;
    DispatchResult result;
    try {
        LoginRequest request = LoginRequest::parse(body);
        operatorCode = request.operatorCode;
        LoginResult login = m_sessions.login(request.operatorCode, request.password, address);
        result = {200, RpcResponse::loggedIn(login.token, login.name)};
    } catch (const RpcError& e) {
        result = refusal(e);
    } catch (const DatabaseError& e) {
        result = databaseFailure(e);
    } catch (const std::exception& e) {
        result = {500, RpcResponse::failure(std::string("Erro interno do servidor: ") + e.what())};
    }
    if (m_log)
        m_log->request("login", operatorCode, elapsedMs(start), result.status,
                       result.status == 200 ? "ok" : "refused");
    return result;
}

DispatchResult Dispatcher::logout(std::string_view token) {
    DispatchResult result;
    std::string operatorCode;
    try {
        if (std::optional<std::string> who = m_sessions.operatorFor(token)) operatorCode = *who;
        if (!m_sessions.logout(token))
            throw RpcError("Sessão inválida ou expirada; faça o login novamente.",
                           RpcError::Unauthorized);
        result = {200, RpcResponse::loggedOut()};
    } catch (const RpcError& e) {
        result = refusal(e);
    } catch (const DatabaseError& e) {
        result = databaseFailure(e);
    }
    if (m_log)
        m_log->request("logout", operatorCode, 0.0, result.status,
                       result.status == 200 ? "ok" : "refused");
    return result;
}

std::optional<DispatchResult> Dispatcher::admit(std::string_view token) {
    try {
        if (token.empty())
            return refusal(
                RpcError("Sessão não informada; faça o login novamente.", RpcError::Unauthorized));
        if (!m_sessions.operatorFor(token))
            return refusal(RpcError("Sessão inválida ou expirada; faça o login novamente.",
                                    RpcError::Unauthorized));
    } catch (const DatabaseError& e) {
        return databaseFailure(e);
    }
    return std::nullopt;
}

DispatchResult Dispatcher::call(std::string_view token, std::string_view module,
                                std::string_view body, bool binary) {
    const auto start = std::chrono::steady_clock::now();
    std::string callName(module);
    std::string operatorCode;
    DispatchResult result;
    std::string outcome = "ok";
    try {
        result = run(token, module, body, binary, callName, operatorCode);
    } catch (const RpcError& e) {
        result = refusal(e);
        outcome = e.message();
    } catch (const DatabaseError& e) {
        result = databaseFailure(e);
        outcome = e.what();
    } catch (const std::exception& e) {
        result = {500, RpcResponse::failure(std::string("Erro interno do servidor: ") + e.what())};
        outcome = e.what();
    }
    if (m_log) m_log->request(callName, operatorCode, elapsedMs(start), result.status, outcome);
    return result;
}

DispatchResult Dispatcher::run(std::string_view token, std::string_view module,
                               std::string_view body, bool binary, std::string& callName,
                               std::string& operatorCode) {
    if (token.empty())
        throw RpcError("Sessão não informada; faça o login novamente.", RpcError::Unauthorized);
    std::optional<std::string> who = m_sessions.operatorFor(token);
    if (!who)
        throw RpcError("Sessão inválida ou expirada; faça o login novamente.",
                       RpcError::Unauthorized);
    operatorCode = *who;

    const std::string moduleName(module);
    if (!m_registry.hasModule(moduleName))
        throw RpcError("Módulo remoto desconhecido: " + moduleName + ".", RpcError::NotFound);
    RpcRequest request = RpcRequest::parse(body);
    callName = moduleName + "." + request.method;
    const MethodEntry* entry = m_registry.find(moduleName, request.method);
    if (!entry)
        throw RpcError("Método desconhecido: " + request.method + " em " + moduleName + ".",
                       RpcError::NotFound);
    checkArguments(*entry, request.params);
    if (!entry->handler) throw RpcError(entry->name + ": ainda não disponível neste servidor.");

    CallContext context{operatorCode, m_store, request.params, m_writes};
    Variant result;
    try {
        result = entry->handler(context);
    } catch (const VariantError& e) {
        throw RpcError(entry->name + ": argumento inválido (" + e.what() + ").",
                       RpcError::BadRequest);
    } catch (const PacketError& e) {
        throw RpcError(entry->name + ": pacote de dados inválido (" + e.what() + ").",
                       RpcError::BadRequest);
    }
    std::map<int, Variant> byref;
    for (std::size_t i = 0; i < request.params.size(); ++i)
        if (request.params[i].byref) byref.emplace(static_cast<int>(i), request.params[i].value);
    DispatchResult out{200,
                       binary ? RpcResponse::successBinary(result, byref)
                              : RpcResponse::success(result, byref),
                       binary};
    out.spent = std::move(result);
    return out;
}

} // namespace srv
