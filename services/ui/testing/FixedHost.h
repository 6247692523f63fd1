#pragma once

#include "services/lib/HostServices.h"

#include <string>
#include <utility>
#include <vector>

// Host services with values a test or benchmark sets, recording the modules it was asked to load.
class FixedHost : public HostServices {
public:
    std::string op = "demo";
    std::string name = "Operador Demo";
    std::string url = "127.0.0.1";
    int port = 8080;
    bool fixedBranch = false;
    std::string branch = "0001";
    std::string token = "host-token";
    std::vector<std::pair<std::string, std::vector<Variant>>> loaded;

    std::string Operador() const override { return op; }
    std::string NomeOperador() const override { return name; }
    std::string WebURL() const override { return url; }
    int WebPort() const override { return port; }
    bool ModuFili() const override { return fixedBranch; }
    std::string FiliProc() const override { return branch; }
    void LoadBPL(const std::string& code, const std::vector<Variant>& params) override {
        loaded.emplace_back(code, params);
    }
    std::string LoginToken() const override { return token; }
};
