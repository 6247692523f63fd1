#include "services/net/TNetConnection.h"

#include "services/data/BinaryWire.h"
#include "services/data/EAbort.h"
#include "services/lib/Velmora.h"
#include "services/net/HttpEndpoint.h"
#include "services/net/RpcCodec.h"

#include <httplib.h>

#include <chrono>

struct TNetConnection::Impl {
    bool connected = false;
    HttpEndpoint endpoint;
    std::unique_ptr<httplib::Client> client;
};

TNetConnection::TNetConnection() : m_impl(std::make_unique<Impl>()) {}

TNetConnection::~TNetConnection() = default;

bool TNetConnection::Connected() const noexcept {
    return m_impl->connected;
}

void TNetConnection::SetConnected(bool connected) {
    if (connected == m_impl->connected) return;
    m_impl->client.reset();
    m_impl->connected = false;
    if (!connected) return;
    // The host may have moved the server since the last connect.
    if (BeforeConnect) BeforeConnect(*this);
    m_impl->endpoint = HttpEndpoint::parse(Host, Port);
    if (m_impl->endpoint.valid()) {
        HttpEndpoint::ignoreBrokenPipes();
        m_impl->client = std::make_unique<httplib::Client>(m_impl->endpoint.url());
        m_impl->client->set_keep_alive(true);
        // Saves send large bodies in several segments: waiting for acks of each costs ~40 ms.
        m_impl->client->set_tcp_nodelay(true);
        if (!CaCertFile.empty()) m_impl->client->set_ca_cert_path(CaCertFile);
        m_impl->client->set_connection_timeout(std::chrono::milliseconds(ConnectTimeoutMs));
        m_impl->client->set_read_timeout(std::chrono::milliseconds(ReadTimeoutMs));
        m_impl->client->set_write_timeout(std::chrono::milliseconds(ReadTimeoutMs));
    }
    m_impl->connected = true;
}

RemoteResult TNetConnection::AppServer(const std::string& method,
                                       std::initializer_list<Arg> params) {
    return AppServer(method, std::vector<Arg>(params));
}

RemoteResult TNetConnection::AppServer(const std::string& method, const std::vector<Arg>& params) {
    RemoteResult result = call(method, params);
    if (!result.ok && ThrowException) throw ENetError(result.error);
    return result;
}

RemoteResult TNetConnection::call(const std::string& method, const std::vector<Arg>& params) {
    if (ServerName.empty()) return RemoteResult::failure("Conexão sem módulo remoto definido.");
    if (!m_impl->connected) {
        try {
            SetConnected(true);
        } catch (const EAbort&) {
            throw;
        } catch (const std::exception& e) {
            // A BeforeConnect that cannot give the address is a failed call like any other.
            return RemoteResult::failure(
                std::string("Não foi possível conectar ao servidor de aplicação: ") + e.what());
        }
    }
    const HttpEndpoint& endpoint = m_impl->endpoint;
    if (!m_impl->client)
        return RemoteResult::failure(
            "Endereço do servidor de aplicação inválido: " + endpoint.display() + ".");

    const std::string token = Token.empty() ? LoginToken() : Token;
    httplib::Headers headers;
    if (!token.empty()) headers.emplace("Authorization", "Bearer " + token);
    if (BinaryAnswers)
        headers.emplace("Accept",
                        std::string(binarywire::kContentType) + ", application/json;q=0.5");

    const auto started = std::chrono::steady_clock::now();
    httplib::Result response =
        m_impl->client->Post(("/rpc/" + ServerName).c_str(), headers,
                             RpcCodec::encodeCall(method, params), "application/json");
    if (!response) {
        const auto elapsed = std::chrono::steady_clock::now() - started;
        return RemoteResult::failure(HttpEndpoint::transportError(
            response.error(), endpoint, elapsed >= std::chrono::milliseconds(ReadTimeoutMs)));
    }

    const auto httpError = [&] {
        return RemoteResult::failure("O servidor de aplicação em " + endpoint.display() +
                                     " respondeu com o erro HTTP " +
                                     std::to_string(response->status) + ".");
    };
    RpcCodec::Answer answer;
    try {
        const std::string type = response->get_header_value("Content-Type");
        answer = type.compare(0, binarywire::kContentType.size(), binarywire::kContentType) == 0
                     ? RpcCodec::decodeBinaryAnswer(response->body)
                     : RpcCodec::decodeAnswer(response->body);
    } catch (const std::exception& e) {
        // An HTTP error without our answer shape (a proxy page, a crash) is reported as such.
        if (response->status != 200) return httpError();
        return RemoteResult::failure("Resposta inválida do servidor de aplicação para " + method +
                                     ": " + e.what() + ".");
    }
    if (!answer.ok) {
        if (answer.error.empty())
            return RemoteResult::failure("O servidor de aplicação recusou " + method +
                                         " sem informar o motivo.");
        return RemoteResult::failure(answer.error);
    }
    if (response->status != 200) return httpError();

    // All write-backs are checked before any is made: a bad answer leaves the caller's variables
    // as they were.
    for (const auto& [index, value] : answer.byRef) {
        if (index >= static_cast<int>(params.size()) || !params[index].byRef())
            return RemoteResult::failure("Resposta inválida do servidor de aplicação para " +
                                         method + ": o parâmetro " + std::to_string(index) +
                                         " não é por referência.");
        if (!params[index].accepts(value))
            return RemoteResult::failure(
                "Resposta inválida do servidor de aplicação para " + method + ": valor de tipo " +
                Variant::typeName(value.type()) + " no parâmetro " + std::to_string(index) + ".");
    }
    for (const auto& [index, value] : answer.byRef)
        params[index].writeBack(value);
    return RemoteResult::success(std::move(answer.result));
}
