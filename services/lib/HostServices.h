#pragma once

#include "services/data/Variant.h"

#include <string>
#include <vector>

// What the host shell offers every module: the logged-in operator, the server's address, the
// fixed-branch setting and the module loader. The shell implements it; tests use fixed values.
class HostServices {
public:
    virtual ~HostServices() = default;

    // Code of the logged-in operator.
    virtual std::string Operador() const = 0;
    // Name of the logged-in operator.
    virtual std::string NomeOperador() const = 0;
    // Address of the application server (a host name or IP, optionally with "http://").
    virtual std::string WebURL() const = 0;
    // Port of the application server.
    virtual int WebPort() const = 0;
    // True when the host works with one fixed branch.
    virtual bool ModuFili() const = 0;
    // The fixed branch's code (meaningful when ModuFili).
    virtual std::string FiliProc() const = 0;
    // Loads the module `code` and shows its screen modally with `params`; returns when it closes.
    virtual void LoadBPL(const std::string& code, const std::vector<Variant>& params) = 0;
    // The token of the operator's login, sent with every remote call.
    virtual std::string LoginToken() const = 0;
};
