#pragma once

#include "services/data/Variant.h"

#include <string>
#include <vector>

// The operator and the host, as the host's services (HostServices) tell them. Each throws
// std::logic_error when no host services are installed, except LoginToken, which is then empty.

// Code of the logged-in operator.
std::string Operador();
// Name of the logged-in operator.
std::string NomeOperador();
// Address of the application server.
std::string WebURL();
// Port of the application server.
int WebPort();
// True when the host works with one fixed branch.
bool ModuFili();
// The fixed branch's code.
std::string FiliProc();
// Loads another module of the host by its code and shows its screen modally with `params`.
void LoadBPL(const std::string& code, const std::vector<Variant>& params);
// The login token of the operator's session ("" without host services).
std::string LoginToken();
