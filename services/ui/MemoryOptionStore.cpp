#include "services/ui/MemoryOptionStore.h"

std::optional<std::string> MemoryOptionStore::get(const std::string& op, const std::string& screen,
                                                  const std::string& key) const {
    auto it = m_values.find({op, screen, key});
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

void MemoryOptionStore::set(const std::string& op, const std::string& screen,
                            const std::string& key, const std::string& value) {
    m_values[{op, screen, key}] = value;
}

std::map<std::string, std::string> MemoryOptionStore::all(const std::string& op,
                                                          const std::string& screen) const {
    std::map<std::string, std::string> out;
    for (const auto& [k, v] : m_values)
        if (std::get<0>(k) == op && std::get<1>(k) == screen) out[std::get<2>(k)] = v;
    return out;
}
