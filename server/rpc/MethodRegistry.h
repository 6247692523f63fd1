#pragma once

#include "server/rpc/CallContext.h"
#include "server/rpc/ParamKind.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace srv {

using MethodHandler = std::function<Variant(CallContext&)>;

// A remote method: its declared argument kinds and what it does. A method without a handler
// is known but not built yet, and answers so.
struct MethodEntry {
    std::string name;
    std::vector<ParamKind> kinds;
    MethodHandler handler;
};

// The remote data modules the server serves and their methods, by name. Filled once at start
// and read concurrently afterwards.
class MethodRegistry {
public:
    void addModule(const std::string& module);
    // Registers a method; the module is added when missing. Names are case-sensitive, like
    // the method names clients send.
    void add(const std::string& module, const std::string& method, std::vector<ParamKind> kinds,
             MethodHandler handler);
    // Registers a method that answers "<method>: ainda não disponível neste servidor.".
    void addPending(const std::string& module, const std::string& method,
                    std::vector<ParamKind> kinds);

    bool hasModule(const std::string& module) const;
    // The method, or nullptr when the module or the method is unknown.
    const MethodEntry* find(const std::string& module, const std::string& method) const;
    std::vector<std::string> methods(const std::string& module) const;

private:
    std::map<std::string, std::map<std::string, MethodEntry>> m_modules;
};

} // namespace srv
