// bench-server: the server's speed targets, measured over loopback on a generated company.
// Prints `bench: name: value unit` lines. Options: --seconds N (crowd run, default 30),
// --clients N (default 50), --branches N (default 1000), --items N (default 60),
// --fast-commit 1 (SQLite commits not flushed to disk).
#include "LoadClient.h"
#include "SqliteBaseline.h"
#include "tests/server/RawConnection.h"

#include "server/ServerInstance.h"
#include "server/demo/DemoCompany.h"
#include "server/store/Store.h"
#include "services/data/DataPacket.h"
#include "services/data/JsonReader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string branchList(int first, int count) {
    std::string list = "_";
    for (int i = first; i < first + count; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "%04d", i);
        list += std::string(code) + "_";
    }
    return list;
}

int open(const DataPacket& items) {
    for (std::size_t r = 0; r < items.rows.size(); ++r) {
        const std::string status = items.value(r, "IDSTATUSORCA").isNull()
                                       ? std::string()
                                       : items.value(r, "IDSTATUSORCA").toText();
        const std::string state = items.value(r, "IDITEMORCAMENTO").isNull()
                                      ? std::string()
                                      : items.value(r, "IDITEMORCAMENTO").toText();
        if (status != "E" && status != "A" && state != "E" && state != "A" &&
            items.value(r, "IDACESSOCALC").toText() == "S")
            return static_cast<int>(r);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 30, clients = 50, branches = 1000, items = 60, fastCommit = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int v = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--seconds"))
            seconds = v;
        else if (!std::strcmp(argv[i], "--clients"))
            clients = v;
        else if (!std::strcmp(argv[i], "--branches"))
            branches = v;
        else if (!std::strcmp(argv[i], "--items"))
            items = v;
        else if (!std::strcmp(argv[i], "--fast-commit"))
            fastCommit = v;
    }
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("fyn-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string db = (dir / "generated.sqlite").string();
    {
        auto store = srv::Store::open(db);
        srv::DemoCompany::fillGenerated(*store, branches, items);
    }
    srv::ServerOptions options;
    options.db = db;
    options.threads = std::max(64, clients + 8);
    options.syncEachCommit = fastCommit == 0;
    srv::ServerInstance server(options);

    // One operator loading the whole budget.
    LoadClient one(server.port(), "demo", "demo");
    if (!one.loggedIn() || !one.load("T")) {
        std::fprintf(stderr, "bench-server: cannot load: %s\n", one.lastError().c_str());
        return 1;
    }
    std::vector<double> loads, reads;
    std::size_t rows = 0;
    for (int i = 0; i < 5; ++i) {
        auto start = Clock::now();
        auto packets = one.load("T");
        loads.push_back(msSince(start));
        rows = packets ? packets->at(1).rows.size() + packets->at(2).rows.size() +
                             packets->at(5).rows.size()
                       : 0;
        start = Clock::now();
        readBudgetRows(db, "2026", 1);
        reads.push_back(msSince(start));
    }
    std::fprintf(stderr, "bench-server: %zu item rows per load\n", rows);
    {
        // Where the time goes: the server's own work without HTTP and client decoding.
        const std::string token = server.loginToken("demo", "demo");
        const std::string body = "{\"method\":\"GetDadosOrcamento\",\"params\":["
                                 "{\"value\":{\"type\":\"text\",\"value\":\"2026\"}},"
                                 "{\"value\":{\"type\":\"integer\",\"value\":1}},"
                                 "{\"value\":{\"type\":\"text\",\"value\":\"demo\"}},"
                                 "{\"value\":{\"type\":\"text\",\"value\":\"T\"}},"
                                 "{\"value\":{\"type\":\"text\",\"value\":\"T\"}},"
                                 "{\"value\":{\"type\":\"text\",\"value\":\"T\"}},"
                                 "{\"value\":{\"type\":\"text\",\"value\":\"T\"}}]}";
        std::vector<double> inProcess, decode;
        std::size_t bytes = 0;
        for (int i = 0; i < 3; ++i) {
            auto start = Clock::now();
            const std::string answer = server.dispatch(token, "FYN10000.rdmCalcOrcaOper", body);
            inProcess.push_back(msSince(start));
            bytes = answer.size();
            start = Clock::now();
            const auto at = answer.find("\"result\":");
            JsonReader in(std::string_view(answer).substr(at + 9));
            readVariant(in);
            decode.push_back(msSince(start));
        }
        std::fprintf(stderr,
                     "bench-server: in process %.1f ms, answer %zu bytes, decoding %.1f ms\n",
                     median(inProcess), bytes, median(decode));
    }
    const double load = median(loads);
    std::printf("bench: server-load-%dx%d: %.1f ms\n", branches, items, load);
    std::printf("bench: server-load-vs-sqlite-read: %.2f x\n", load / median(reads));
    std::fflush(stdout);
    {
        // The same load while 1,000 connections from 20 addresses hold on: half silent, half
        // sending a header line every second without ever finishing.
        std::vector<std::unique_ptr<RawConnection>> slow;
        for (int i = 0; i < 1000; ++i) {
            auto c = std::make_unique<RawConnection>(server.port(),
                                                     "127.0.0." + std::to_string(2 + i % 20));
            if (i % 2) c->send("POST /rpc/FYN10000.rdmCalcOrcaOper HTTP/1.1\r\nHost: x\r\n");
            slow.push_back(std::move(c));
        }
        std::atomic<bool> done{false};
        std::thread drip([&] {
            while (!done) {
                for (std::size_t i = 1; i < slow.size(); i += 2)
                    slow[i]->send("X-Slow: 1\r\n");
                for (int t = 0; t < 10 && !done; ++t)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
        std::vector<double> crowded;
        bool failed = false;
        for (int i = 0; i < 5; ++i) {
            const auto start = Clock::now();
            failed = failed || !one.load("T");
            crowded.push_back(msSince(start));
        }
        done = true;
        drip.join();
        const long open =
            std::count_if(slow.begin(), slow.end(), [](const auto& c) { return c->connected(); });
        std::fprintf(stderr, "bench-server: %ld slow connections open, loads %s\n", open,
                     failed ? "FAILED" : "ok");
        std::printf("bench: server-load-under-slow-clients-vs-quiet: %.2f x\n",
                    median(crowded) / load);
        std::fflush(stdout);
    }

    // A crowd of operators, each on its own branches, loading and saving.
    std::atomic<long> errors{0};
    std::mutex latencyMutex;
    std::vector<double> latencies, loadLatencies, saveLatencies;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    const int perClient = std::max(1, std::min(20, branches / std::max(1, clients)));
    std::vector<std::thread> crowd;
    for (int c = 0; c < clients; ++c)
        crowd.emplace_back([&, c] {
            LoadClient client(server.port(), "demo", "demo");
            if (!client.loggedIn()) {
                ++errors;
                std::fprintf(stderr, "bench-server: %s\n", client.lastError().c_str());
                return;
            }
            const std::string list = branchList(1 + (c * perClient) % branches, perClient);
            std::vector<double> mine, myLoads, mySaves;
            double value = 1;
            while (Clock::now() < deadline) {
                auto start = Clock::now();
                auto packets = client.load(list);
                mine.push_back(msSince(start));
                myLoads.push_back(mine.back());
                if (!packets) {
                    ++errors;
                    std::fprintf(stderr, "bench-server: %s\n", client.lastError().c_str());
                    continue;
                }
                const int row = open(packets->at(2));
                if (row < 0) continue;
                start = Clock::now();
                if (!client.saveMonth(packets->at(2), static_cast<std::size_t>(row), value++)) {
                    ++errors;
                    std::fprintf(stderr, "bench-server: %s\n", client.lastError().c_str());
                }
                mine.push_back(msSince(start));
                mySaves.push_back(mine.back());
            }
            std::lock_guard lock(latencyMutex);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
            loadLatencies.insert(loadLatencies.end(), myLoads.begin(), myLoads.end());
            saveLatencies.insert(saveLatencies.end(), mySaves.begin(), mySaves.end());
        });
    for (auto& t : crowd)
        t.join();
    std::sort(latencies.begin(), latencies.end());
    const double p99 = latencies.empty()
                           ? 0
                           : latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    auto p99of = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[std::min(v.size() - 1, v.size() * 99 / 100)];
    };
    std::fprintf(stderr, "bench-server: p99 of loads %.1f ms, of saves %.1f ms\n",
                 p99of(loadLatencies), p99of(saveLatencies));
    std::fprintf(stderr, "bench-server: %zu requests by %d clients in %d s\n", latencies.size(),
                 clients, seconds);
    std::printf("bench: server-%d-clients-p99: %.1f ms\n", clients, p99);
    std::printf("bench: server-%d-clients-errors: %ld count\n", clients, errors.load());
    server.stop();
    fs::remove_all(dir);
    return 0;
}
