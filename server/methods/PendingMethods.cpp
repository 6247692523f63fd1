// Methods the client already calls but this server does not compute yet: registered with their
// argument kinds so that a wrong call is still reported as such, answering "not yet available".
#include "server/methods/Methods.h"
#include "server/rpc/MethodRegistry.h"

namespace srv {

void registerPendingMethods(MethodRegistry& registry) {
    using K = ParamKind;
    const auto add = [&](const char* name, std::vector<ParamKind> kinds) {
        registry.addPending(kModuleCalcOrcaOper, name, std::move(kinds));
    };
    add("GetSimulaFat", {K::Text, K::Text, K::Integer, K::Text});
}

} // namespace srv
