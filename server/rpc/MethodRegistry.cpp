#include "server/rpc/MethodRegistry.h"

namespace srv {

void MethodRegistry::addModule(const std::string& module) {
    m_modules[module];
}

void MethodRegistry::add(const std::string& module, const std::string& method,
                         std::vector<ParamKind> kinds, MethodHandler handler) {
    m_modules[module][method] = MethodEntry{method, std::move(kinds), std::move(handler)};
}

void MethodRegistry::addPending(const std::string& module, const std::string& method,
                                std::vector<ParamKind> kinds) {
    add(module, method, std::move(kinds), nullptr);
}

bool MethodRegistry::hasModule(const std::string& module) const {
    return m_modules.count(module) != 0;
}

const MethodEntry* MethodRegistry::find(const std::string& module,
                                        const std::string& method) const {
    auto m = m_modules.find(module);
    if (m == m_modules.end()) return nullptr;
    auto e = m->second.find(method);
    return e == m->second.end() ? nullptr : &e->second;
}

std::vector<std::string> MethodRegistry::methods(const std::string& module) const {
    std::vector<std::string> names;
    auto m = m_modules.find(module);
    if (m != m_modules.end())
        for (const auto& [name, entry] : m->second)
            names.push_back(name);
    return names;
}

} // namespace srv
