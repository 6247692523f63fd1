#pragma once

#include "services/lib/RemoteResult.h"
#include "services/net/Arg.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Raised by AppServer instead of a failed answer when ThrowException is set.
class ENetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A connection to one remote data module of the application server. Calls go over HTTP/1.1
// with keep-alive (one socket kept per connection) as JSON; see docs/PROTOCOL.md.
class TNetConnection {
public:
    TNetConnection();
    ~TNetConnection();
    TNetConnection(const TNetConnection&) = delete;
    TNetConnection& operator=(const TNetConnection&) = delete;

    // Remote data module, e.g. "FYN10000.rdmCalcOrcaOper".
    std::string ServerName;
    // When set, failures throw ENetError instead of coming back as a failed answer.
    bool ThrowException = false;
    // Runs at every connect, before Host and Port are read.
    std::function<void(TNetConnection&)> BeforeConnect;
    // Address of the server: a host name or IP, optionally with "http://" or "https://".
    std::string Host;
    int Port = 0;
    // Login token sent with every call; when empty, the host's LoginToken() is used.
    std::string Token;
    // For an "https://" Host: a PEM file of the authorities to trust instead of the system's.
    std::string CaCertFile;
    // Limits of one call, in milliseconds; a server calculation may take a while.
    int ConnectTimeoutMs = 5000;
    int ReadTimeoutMs = 300000;
    // Asks for answers in the binary form (under half the size, read without parsing text);
    // off, the server answers in JSON, which a proxy's log shows as it is.
    bool BinaryAnswers = true;

    bool Connected() const noexcept;
    // Connecting runs BeforeConnect and prepares the socket; the server is first reached by
    // the next call. Disconnecting closes the socket.
    void SetConnected(bool connected);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    // Calls `method` of ServerName with positional arguments; by-reference arguments receive
    // the server's new values on success. Connects first when needed. Never throws unless
    // ThrowException is set.
    RemoteResult AppServer(const std::string& method, std::initializer_list<Arg> params);
    RemoteResult AppServer(const std::string& method, const std::vector<Arg>& params);

private:
    RemoteResult call(const std::string& method, const std::vector<Arg>& params);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
