#pragma once

#include <string>
#include <string_view>

namespace httplib {
enum class Error;
}

// Where the application server listens, from the host's address setting and port.
class HttpEndpoint {
public:
    std::string scheme = "http";
    std::string host;
    int port = 0;

    // Accepts "name", "http://name", "https://name", with an optional trailing "/"; an
    // explicit ":port" in the text wins over `port`.
    static HttpEndpoint parse(std::string_view address, int port);

    bool valid() const noexcept { return !host.empty() && port > 0 && port <= 65535; }
    // "scheme://host:port" for the HTTP client.
    std::string url() const;
    // "host:port" for messages.
    std::string display() const;

    // A server may close a connection while a request is still being written (a refusal sent
    // before reading an oversized body, an idle connection closed): the write must fail, not
    // kill the process with SIGPIPE. Called before each client is made; idempotent.
    static void ignoreBrokenPipes();

    // The operator's message for a call that got no HTTP answer.
    static std::string transportError(httplib::Error error, const HttpEndpoint& endpoint,
                                      bool timedOut);
};
