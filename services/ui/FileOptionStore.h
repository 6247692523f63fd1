#pragma once

#include "services/ui/MemoryOptionStore.h"

#include <string>

// Options kept in a settings file of the shell, one per line: operator, screen, key and value
// separated by tabs (tab, newline and backslash written as \t, \n, \\). The file is read when
// the store is made and rewritten whole (through a temporary file) at every change; a change
// that cannot be written is refused with std::runtime_error and not kept.
class FileOptionStore : public MemoryOptionStore {
public:
    explicit FileOptionStore(std::string path);
    void set(const std::string& op, const std::string& screen, const std::string& key,
             const std::string& value) override;
    const std::string& path() const { return m_path; }

private:
    void save(const Values& values) const;
    std::string m_path;
};
