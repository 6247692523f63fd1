#include "shell/ModuleLoader.h"

#include "services/data/Variant.h"

#include <algorithm>
#include <cctype>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
using EntryFn = void (*)();
using EntryParamsFn = void (*)(const Variant* params, int count);
} // namespace

ModuleLoader::ModuleLoader(std::vector<std::string> searchDirs) : m_dirs(std::move(searchDirs)) {}

ModuleLoader::~ModuleLoader() {
    unloadAll();
}

std::vector<std::string> ModuleLoader::defaultSearchDirs() {
    std::vector<std::string> dirs;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        dirs.push_back(exe.parent_path().string());
        dirs.push_back((exe.parent_path().parent_path() / "lib").string());
    }
    dirs.push_back((fs::current_path(ec) / "build" / "lib").string());
    return dirs;
}

std::string ModuleLoader::key(const std::string& code) {
    std::string k = code;
    std::transform(k.begin(), k.end(), k.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return k;
}

std::string ModuleLoader::libraryName(const std::string& code) {
    return "lib" + key(code) + ".so";
}

bool ModuleLoader::isLoaded(const std::string& code) const {
    return m_modules.count(key(code)) > 0;
}

bool ModuleLoader::load(const std::string& code) {
    if (isLoaded(code)) return true;
    const bool wellFormed =
        !code.empty() && std::all_of(code.begin(), code.end(),
                                     [](unsigned char c) { return std::isalnum(c) || c == '_'; });
    if (!wellFormed) {
        m_lastError = "Código de módulo inválido: \"" + code + "\".";
        return false;
    }
    const std::string file = libraryName(code);
    std::string dlError;
    for (const auto& dir : m_dirs) {
        const fs::path candidate = fs::path(dir) / file;
        std::error_code ec;
        if (!fs::exists(candidate, ec)) continue;
        void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* err = ::dlerror();
            dlError = err ? err : "unknown error";
            continue;
        }
        if (!::dlsym(handle, kEntry) && !::dlsym(handle, kEntryWithParams)) {
            ::dlclose(handle);
            m_lastError = "O módulo " + code + " não é um módulo do sistema (" +
                          candidate.string() + " não exporta " + kEntry + ").";
            return false;
        }
        m_modules[key(code)] = Loaded{handle, candidate.string(), m_nextOrder++};
        if (auto start = reinterpret_cast<EntryFn>(::dlsym(handle, kStartup))) start();
        return true;
    }
    m_lastError = dlError.empty() ? "Módulo " + code + " não encontrado (" + file + ")."
                                  : "Módulo " + code + " não pôde ser carregado: " + dlError;
    return false;
}

void* ModuleLoader::symbol(const std::string& code, const char* name) const {
    const auto it = m_modules.find(key(code));
    return it == m_modules.end() ? nullptr : ::dlsym(it->second.handle, name);
}

bool ModuleLoader::enter(const std::string& code) {
    if (!load(code)) return false;
    auto entry = reinterpret_cast<EntryFn>(symbol(code, kEntry));
    if (!entry) {
        m_lastError = "O módulo " + code + " não pode ser aberto sem parâmetros.";
        return false;
    }
    entry();
    return true;
}

bool ModuleLoader::enterWithParams(const std::string& code, const std::vector<Variant>& params) {
    if (!load(code)) return false;
    if (auto withParams = reinterpret_cast<EntryParamsFn>(symbol(code, kEntryWithParams))) {
        withParams(params.data(), static_cast<int>(params.size()));
        return true;
    }
    return enter(code);
}

void ModuleLoader::unload(const std::string& code) {
    const auto it = m_modules.find(key(code));
    if (it == m_modules.end()) return;
    if (auto stop = reinterpret_cast<EntryFn>(::dlsym(it->second.handle, kShutdown))) stop();
    ::dlclose(it->second.handle);
    m_modules.erase(it);
}

void ModuleLoader::unloadAll() {
    while (!m_modules.empty()) {
        auto last = std::max_element(m_modules.begin(), m_modules.end(), [](auto& a, auto& b) {
            return a.second.order < b.second.order;
        });
        unload(last->first);
    }
}
