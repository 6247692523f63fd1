#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

namespace srv {

class Database;
class Store;

// Runs the write transactions of concurrent requests together: the saves waiting at the same
// moment share one database transaction and so one flush to disk, each inside a savepoint of
// its own. A save that fails is rolled back to its savepoint and reports its own error; the
// others still commit. Each caller gets its own outcome, as if it had run alone. Thread-safe.
class GroupCommit {
public:
    explicit GroupCommit(Store& store) : m_store(store) {}

    // Runs work(db) in a transaction shared with the other waiting writes; returns what work
    // returns, or throws what it threw (or what failed the shared commit).
    int run(const std::function<int(Database&)>& work);

private:
    struct Job {
        const std::function<int(Database&)>* work = nullptr;
        int result = 0;
        std::exception_ptr error;
        bool done = false;
    };

    void runBatch(const std::vector<Job*>& batch);

    Store& m_store;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    std::vector<Job*> m_pending;
    bool m_leading = false;
};

} // namespace srv
