// Measures the dataset on a generated budget of 1,000 branches x 60 items against SQLite in
// memory doing the same work. Prints "bench: dataset-<operation>: <value> <unit>" lines.
#include "BudgetGenerator.h"
#include "SqliteBaseline.h"

#include "services/data/TClientDataSet.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int kBranches = 1000;
constexpr int kItems = 60;

// Processor time of this process: the build machine is shared, and time spent waiting for a
// core says nothing about the code.
struct Clock {
    using time_point = double;
    static double now() {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
};

double secondsSince(double start) {
    return Clock::now() - start;
}

void print(const char* name, double value, const char* unit) {
    std::printf("bench: dataset-%s: %.3f %s\n", name, value, unit);
}

void ratio(const char* name, double ours, double sqlite) {
    // Above 1 means the dataset is faster.
    std::printf("bench: dataset-%s-vs-sqlite: %.2f x\n", name, sqlite / ours);
}

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

template <class F> double best(int runs, F f) {
    double bestTime = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        bestTime = std::min(bestTime, secondsSince(start));
    }
    return bestTime;
}

} // namespace

int main() {
    const std::string json = generateBudget(kBranches, kItems).toJson();
    print("packet-json-size", static_cast<double>(json.size()) / 1e6, "MB");

    // Load: JSON text -> dataset.
    double loadTime = 1e30;
    double loadWall = 1e30;
    double memoryRatio = 0;
    TClientDataSet ds("cdsItensOrcamento");
    for (int run = 0; run < 3; ++run) {
        ds.Close();
        const std::size_t before = heapInUse();
        const auto start = Clock::now();
        const auto wallStart = std::chrono::steady_clock::now();
        ds.SetData(DataPacket::fromJson(json));
        loadTime = std::min(loadTime, secondsSince(start));
        loadWall = std::min(
            loadWall,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());
        memoryRatio = static_cast<double>(heapInUse() - before) / static_cast<double>(json.size());
    }
    SqliteBaseline sql;
    const double sqlLoad = best(1, [&] { sql.load(json); });
    print("load-60000-rows", loadTime * 1e3, "ms");
    print("load-60000-rows-wall-clock", loadWall * 1e3, "ms");
    ratio("load", loadTime, sqlLoad);
    print("memory-per-json-byte", memoryRatio, "x");

    // Page filter of one branch and the walk of its rows, as the item pages do.
    ds.SetIndexFieldNames("CDFILIAL;CDDESPPREV");
    ds.SetFiltered(true);
    TField& jan = ds.FieldByName("VRORCAMENTOJAN");
    const int walks = 500;
    double sink = 0;
    const double filterTime = best(3,
                                   [&] {
                                       for (int i = 0; i < walks; ++i) {
                                           ds.SetFilter("IDTIPOORCAOP = 'D'AND CDFILIAL = '" +
                                                        branchCode(i * 7 % kBranches) + "'");
                                           for (ds.First(); !ds.Eof(); ds.Next())
                                               sink += jan.AsFloat();
                                       }
                                   }) /
                              walks;
    const double sqlFilter = best(3,
                                  [&] {
                                      for (int i = 0; i < walks; ++i)
                                          sink +=
                                              sql.filterWalk("D", branchCode(i * 7 % kBranches));
                                  }) /
                             walks;
    print("filter-and-walk-one-branch", filterTime * 1e6, "us");
    ratio("filter-and-walk", filterTime, sqlFilter);

    // A filter no hash can serve ("<>"): every row is evaluated.
    const double scanTime = best(3, [&] {
        ds.SetFilter("IDTIPOORCAOP <> 'C' AND VRORCAMENTOJAN > 50000");
        sink += ds.RecordCount();
    });
    print("filter-scan-60000-rows", scanTime * 1e3, "ms");

    // Locate a branch on the indexed field, no filter.
    ds.SetFiltered(false);
    ds.SetIndexFieldNames("CDFILIAL");
    const int locates = 10000;
    const double locateTime = best(3,
                                   [&] {
                                       for (int i = 0; i < locates; ++i)
                                           ds.Locate("CDFILIAL", {branchCode(i * 13 % kBranches)});
                                   }) /
                              locates;
    const double sqlLocate =
        best(3,
             [&] {
                 for (int i = 0; i < locates; ++i)
                     sink += static_cast<double>(sql.locate(branchCode(i * 13 % kBranches)));
             }) /
        locates;
    print("locate", locateTime * 1e6, "us");
    ratio("locate", locateTime, sqlLocate);

    // 1,000 edits posted, spread over the budget.
    ds.SetIndexFieldNames("");
    const int edits = 1000;
    const auto editStart = Clock::now();
    for (int i = 0; i < edits; ++i) {
        ds.MoveToVisibleRow(i * 59);
        ds.Edit();
        jan.SetAsFloat(i);
        ds.Post();
    }
    const double editTime = secondsSince(editStart);
    std::vector<std::int64_t> rowids;
    for (int i = 0; i < edits; ++i)
        rowids.push_back(i * 59 + 1);
    const double sqlEdit = best(1, [&] { sql.edit(rowids, 1.0); });
    print("post-1000-edits", editTime * 1e3, "ms");
    ratio("post-edits", editTime, sqlEdit);

    // The delta of those edits, as sent to the server.
    std::size_t deltaSize = 0;
    const double deltaTime = best(5, [&] { deltaSize = ds.Delta().toJson().size(); });
    std::size_t sqlDeltaSize = 0;
    const double sqlDelta = best(5, [&] { sqlDeltaSize = sql.delta().size(); });
    print("delta-1000-rows", deltaTime * 1e3, "ms");
    ratio("delta", deltaTime, sqlDelta);

    std::printf("# checksum %.0f, delta %zu/%zu bytes, %d changes\n", sink, deltaSize, sqlDeltaSize,
                ds.ChangeCount());
    return 0;
}
