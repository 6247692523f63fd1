#include "services/lib/Velmora.h"

#include "services/lib/HostServices.h"
#include "services/lib/LibraryHost.h"

#include <stdexcept>

namespace {

HostServices& host() {
    HostServices* services = LibraryHost::current() ? LibraryHost::current()->host() : nullptr;
    if (!services) throw std::logic_error("Serviços do aplicativo hospedeiro não instalados.");
    return *services;
}

} // namespace

std::string Operador() {
    return host().Operador();
}
std::string NomeOperador() {
    return host().NomeOperador();
}
std::string WebURL() {
    return host().WebURL();
}
int WebPort() {
    return host().WebPort();
}
bool ModuFili() {
    return host().ModuFili();
}
std::string FiliProc() {
    return host().FiliProc();
}

void LoadBPL(const std::string& code, const std::vector<Variant>& params) {
    host().LoadBPL(code, params);
}

std::string LoginToken() {
    HostServices* services = LibraryHost::current() ? LibraryHost::current()->host() : nullptr;
    return services ? services->LoginToken() : std::string();
}
