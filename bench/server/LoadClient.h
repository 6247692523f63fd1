#pragma once

#include "services/data/DataPacket.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace httplib {
class Client;
}

// One operator's HTTP connection to the server, as the benchmark drives it.
class LoadClient {
public:
    LoadClient(int port, const std::string& op, const std::string& password);
    ~LoadClient();

    bool loggedIn() const { return !m_token.empty(); }
    // GetDadosOrcamento of 2026 version 1 for a branch list; the six packets decoded, or
    // nullopt on any failure (reason in lastError()).
    std::optional<std::vector<DataPacket>> load(const std::string& branches);
    // Saves one changed month of an item row of a loaded packet; false on any failure.
    bool saveMonth(const DataPacket& items, std::size_t row, double value);
    const std::string& lastError() const { return m_error; }

private:
    std::optional<Variant> call(const std::string& method, const std::string& body);

    std::unique_ptr<httplib::Client> m_http;
    std::string m_operator;
    std::string m_token;
    std::string m_error;
};
