#pragma once

#include <map>
#include <optional>
#include <string>

// Named option values a screen saves for an operator (the filter dialogs' saved choices).
// The host provides it: the shell keeps a settings file, tests an in-memory store.
class OptionStore {
public:
    virtual ~OptionStore() = default;
    virtual std::optional<std::string> get(const std::string& op, const std::string& screen,
                                           const std::string& key) const = 0;
    virtual void set(const std::string& op, const std::string& screen, const std::string& key,
                     const std::string& value) = 0;
    // Every key saved for the operator on that screen, with its value.
    virtual std::map<std::string, std::string> all(const std::string& op,
                                                   const std::string& screen) const = 0;
};
