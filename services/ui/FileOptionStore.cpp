#include "services/ui/FileOptionStore.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {
std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            char n = line[++i];
            fields.back() += n == 't' ? '\t' : n == 'n' ? '\n' : n;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}
} // namespace

FileOptionStore::FileOptionStore(std::string path) : m_path(std::move(path)) {
    std::ifstream in(m_path);
    std::string line;
    while (std::getline(in, line)) {
        auto f = splitFields(line);
        // A damaged line is skipped rather than stopping the shell.
        if (f.size() == 4) MemoryOptionStore::set(f[0], f[1], f[2], f[3]);
    }
}

void FileOptionStore::set(const std::string& op, const std::string& screen, const std::string& key,
                          const std::string& value) {
    // The file is written first: a save that fails leaves the options as they were.
    auto values = m_values;
    values[{op, screen, key}] = value;
    save(values);
    m_values = std::move(values);
}

void FileOptionStore::save(const Values& values) const {
    std::string tmp = m_path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        if (!out) throw std::runtime_error("Não foi possível gravar as opções em " + m_path + ".");
        for (const auto& [k, v] : values)
            out << escape(std::get<0>(k)) << '\t' << escape(std::get<1>(k)) << '\t'
                << escape(std::get<2>(k)) << '\t' << escape(v) << '\n';
        if (!out.flush())
            throw std::runtime_error("Não foi possível gravar as opções em " + m_path + ".");
    }
    if (std::rename(tmp.c_str(), m_path.c_str()) != 0)
        throw std::runtime_error("Não foi possível gravar as opções em " + m_path + ".");
}
