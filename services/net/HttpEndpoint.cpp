#include "services/net/HttpEndpoint.h"

#include <csignal>
#include <mutex>

#include <httplib.h>

#include <charconv>

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '/'))
        text.remove_suffix(1);
    return text;
}

} // namespace

HttpEndpoint HttpEndpoint::parse(std::string_view address, int port) {
    HttpEndpoint endpoint;
    endpoint.port = port;
    std::string_view rest = trim(address);
    if (const auto sep = rest.find("://"); sep != std::string_view::npos) {
        endpoint.scheme = std::string(rest.substr(0, sep));
        rest.remove_prefix(sep + 3);
    }
    // A bracketed IPv6 address keeps its colons.
    const auto colon = rest.rfind(':');
    if (colon != std::string_view::npos && rest.find(']', colon) == std::string_view::npos) {
        int explicitPort = 0;
        const std::string_view digits = rest.substr(colon + 1);
        const auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), explicitPort);
        if (ec == std::errc() && end == digits.data() + digits.size()) {
            endpoint.port = explicitPort;
            rest = rest.substr(0, colon);
        }
    }
    endpoint.host = std::string(rest);
    if (endpoint.scheme != "http" && endpoint.scheme != "https") endpoint.host.clear();
    return endpoint;
}

std::string HttpEndpoint::url() const {
    return scheme + "://" + host + ":" + std::to_string(port);
}

std::string HttpEndpoint::display() const {
    return (host.empty() ? std::string("?") : host) + ":" + std::to_string(port);
}

std::string HttpEndpoint::transportError(httplib::Error error, const HttpEndpoint& endpoint,
                                         bool timedOut) {
    const std::string where = endpoint.display();
    switch (error) {
    case httplib::Error::Connection:
    case httplib::Error::ConnectionTimeout:
    case httplib::Error::BindIPAddress:
        return "Servidor de aplicação inacessível em " + where + ".";
    case httplib::Error::SSLConnection:
    case httplib::Error::SSLLoadingCerts:
    case httplib::Error::SSLServerVerification:
        return "Conexão segura com o servidor de aplicação em " + where + " recusada.";
    case httplib::Error::Read:
    case httplib::Error::Write:
        if (timedOut) return "O servidor de aplicação em " + where + " não respondeu a tempo.";
        return "A conexão com o servidor de aplicação em " + where + " foi interrompida.";
    default:
        return "Falha na comunicação com o servidor de aplicação em " + where + " (" +
               httplib::to_string(error) + ").";
    }
}

void HttpEndpoint::ignoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}
