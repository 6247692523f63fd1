#include "tests/store/TestDatabases.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace {

std::atomic<int> g_counter{0};

std::string readUrlFile() {
    const char* path = std::getenv("FYN_TEST_PG_URL_FILE");
    if (path == nullptr) return {};
    std::ifstream in(path);
    std::string url;
    std::getline(in, url);
    return url;
}

// The URL of a database named `name` on the server of `url` (its last path segment replaced).
std::string withDatabase(const std::string& url, const std::string& name) {
    const auto slash = url.rfind('/');
    return url.substr(0, slash + 1) + name;
}

} // namespace

std::string TestDatabases::newSpec(Kind kind) {
    const int n = ++g_counter;
    const std::string unique = std::to_string(::getpid()) + "_" + std::to_string(n);
    switch (kind) {
    case Kind::SqliteMemory:
        return ":memory:";
    case Kind::SqliteFile: {
        // One fresh folder per test process, removed when the process ends normally. Process
        // ids are reused quickly, and a killed test leaves its folder behind: a name made from
        // the id alone could hand a later test an old company.
        struct Folder {
            std::filesystem::path path;
            Folder() {
                std::string pattern =
                    (std::filesystem::temp_directory_path() / "fyn-store-XXXXXX").string();
                if (::mkdtemp(pattern.data()) == nullptr)
                    throw std::runtime_error("cannot create a folder for test databases");
                path = pattern;
            }
            ~Folder() {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        };
        static const Folder folder;
        return (folder.path / ("db" + unique + ".sqlite")).string();
    }
    case Kind::Postgres: {
        const std::string url = readUrlFile();
        if (url.empty()) return {};
        const std::string name = "fyn_test_" + unique;
        // CREATE DATABASE cannot run in a transaction: straight on a connection.
        auto admin = srv::Database::openPostgres(url);
        admin->executeScript("CREATE DATABASE " + name);
        return withDatabase(url, name);
    }
    }
    return {};
}

std::unique_ptr<srv::Store> TestDatabases::open(Kind kind, srv::Store::Options options) {
    const std::string spec = newSpec(kind);
    if (spec.empty()) return nullptr;
    return srv::Store::open(spec, options);
}

std::string TestDatabases::name(Kind kind) {
    switch (kind) {
    case Kind::SqliteFile:
        return "sqlite_file";
    case Kind::SqliteMemory:
        return "sqlite_memory";
    case Kind::Postgres:
        return "postgres";
    }
    return "unknown";
}
