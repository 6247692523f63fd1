#pragma once

#include "services/ui/OptionStore.h"

#include <tuple>

// Options kept in memory only.
class MemoryOptionStore : public OptionStore {
public:
    std::optional<std::string> get(const std::string& op, const std::string& screen,
                                   const std::string& key) const override;
    void set(const std::string& op, const std::string& screen, const std::string& key,
             const std::string& value) override;
    std::map<std::string, std::string> all(const std::string& op,
                                           const std::string& screen) const override;

protected:
    using Values = std::map<std::tuple<std::string, std::string, std::string>, std::string>;
    Values m_values;
};
