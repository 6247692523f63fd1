#pragma once

#include <map>
#include <string>
#include <vector>

class Variant;

// Loads the host's modules, shared libraries named after their code ("FYN10000" ->
// libfyn10000.so), runs their start-up hook on load and their shut-down hook before unload.
class ModuleLoader {
public:
    // Entry points a module may export (extern "C").
    static constexpr const char* kEntry = "IniProc";
    static constexpr const char* kEntryWithParams = "IniProcParams";
    static constexpr const char* kStartup = "ModuleInitialization";
    static constexpr const char* kShutdown = "ModuleFinalization";

    explicit ModuleLoader(std::vector<std::string> searchDirs);
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Folders searched in order; the default list is the executable's folder, ../lib and
    // build/lib under the working folder.
    static std::vector<std::string> defaultSearchDirs();
    static std::string libraryName(const std::string& code);

    // Loads the module once (start-up hook on first load). False with lastError() on failure.
    bool load(const std::string& code);
    bool isLoaded(const std::string& code) const;
    // Loads if needed and calls IniProc; false with lastError() when that cannot be done.
    bool enter(const std::string& code);
    // Loads if needed and calls IniProcParams with the values (or IniProc when the module
    // takes none).
    bool enterWithParams(const std::string& code, const std::vector<Variant>& params);
    // Runs the shut-down hook and unloads; unknown codes are ignored.
    void unload(const std::string& code);
    // Unloads every module, the last loaded first.
    void unloadAll();

    const std::string& lastError() const { return m_lastError; }

private:
    struct Loaded {
        void* handle = nullptr;
        std::string path;
        int order = 0;
    };
    static std::string key(const std::string& code);
    void* symbol(const std::string& code, const char* name) const;

    std::vector<std::string> m_dirs;
    std::map<std::string, Loaded> m_modules;
    int m_nextOrder = 0;
    std::string m_lastError;
};
