#include "services/net/Login.h"

#include "services/net/HttpEndpoint.h"
#include "services/net/RpcCodec.h"

#include <httplib.h>

#include <chrono>
#include <memory>

namespace {

std::unique_ptr<httplib::Client> clientFor(const HttpEndpoint& endpoint, int timeoutMs,
                                           const std::string& caCertFile) {
    HttpEndpoint::ignoreBrokenPipes();
    auto client = std::make_unique<httplib::Client>(endpoint.url());
    if (!caCertFile.empty()) client->set_ca_cert_path(caCertFile);
    client->set_connection_timeout(std::chrono::milliseconds(timeoutMs));
    client->set_read_timeout(std::chrono::milliseconds(timeoutMs));
    client->set_write_timeout(std::chrono::milliseconds(timeoutMs));
    return client;
}

} // namespace

LoginResult Login(const std::string& host, int port, const std::string& op,
                  const std::string& password, int timeoutMs, const std::string& caCertFile) {
    LoginResult result;
    const HttpEndpoint endpoint = HttpEndpoint::parse(host, port);
    if (!endpoint.valid()) {
        result.error = "Endereço do servidor de aplicação inválido: " + endpoint.display() + ".";
        return result;
    }
    auto client = clientFor(endpoint, timeoutMs, caCertFile);
    const auto started = std::chrono::steady_clock::now();
    httplib::Result response =
        client->Post("/login", RpcCodec::encodeLogin(op, password), "application/json");
    if (!response) {
        const bool timedOut =
            std::chrono::steady_clock::now() - started >= std::chrono::milliseconds(timeoutMs);
        result.error = HttpEndpoint::transportError(response.error(), endpoint, timedOut);
        return result;
    }
    try {
        const RpcCodec::LoginAnswer answer = RpcCodec::decodeLogin(response->body);
        if (!answer.ok) {
            result.error = answer.error.empty() ? "Operador ou senha inválidos." : answer.error;
            return result;
        }
        if (response->status != 200)
            throw std::runtime_error("HTTP " + std::to_string(response->status));
        result.ok = true;
        result.token = answer.token;
        result.name = answer.name;
    } catch (const std::exception& e) {
        if (response->status != 200)
            result.error = "O servidor de aplicação em " + endpoint.display() +
                           " respondeu com o erro HTTP " + std::to_string(response->status) + ".";
        else
            result.error = std::string("Resposta inválida do servidor de aplicação ao login: ") +
                           e.what() + ".";
    }
    return result;
}

bool Logout(const std::string& host, int port, const std::string& token, int timeoutMs,
            const std::string& caCertFile) {
    const HttpEndpoint endpoint = HttpEndpoint::parse(host, port);
    if (!endpoint.valid() || token.empty()) return false;
    HttpEndpoint::ignoreBrokenPipes();
    auto client = clientFor(endpoint, timeoutMs, caCertFile);
    const httplib::Headers headers{{"Authorization", "Bearer " + token}};
    const httplib::Result response = client->Post("/logout", headers, "", "application/json");
    return response && response->status == 200;
}
