#include "server/methods/GroupCommit.h"

#include "server/store/Store.h"

#include <algorithm>

namespace srv {

namespace {

// Enough to share a flush among a crowd, few enough that no save waits long behind others.
constexpr std::size_t kMaxBatch = 32;

} // namespace

int GroupCommit::run(const std::function<int(Database&)>& work) {
    Job job;
    job.work = &work;
    std::unique_lock lock(m_mutex);
    m_pending.push_back(&job);
    while (!job.done) {
        if (m_leading) {
            m_finished.wait(lock);
            continue;
        }
        // Nobody is writing: this caller writes everything waiting, its own job included
        // unless an earlier batch already took it.
        m_leading = true;
        const std::size_t n = std::min(kMaxBatch, m_pending.size());
        std::vector<Job*> batch(m_pending.begin(), m_pending.begin() + static_cast<long>(n));
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(n));
        lock.unlock();
        runBatch(batch);
        lock.lock();
        for (Job* j : batch)
            j->done = true;
        m_leading = false;
        m_finished.notify_all();
    }
    if (job.error) std::rethrow_exception(job.error);
    return job.result;
}

void GroupCommit::runBatch(const std::vector<Job*>& batch) {
    try {
        m_store.transaction([&](Database& db) {
            for (Job* j : batch) {
                // A retried transaction runs every job again from the start.
                j->error = nullptr;
                j->result = 0;
                db.execute("SAVEPOINT GROUPSAVE");
                try {
                    j->result = (*j->work)(db);
                    db.execute("RELEASE SAVEPOINT GROUPSAVE");
                } catch (const DatabaseError& e) {
                    // A lost race or a lost connection concerns the whole transaction.
                    if (e.kind() == DatabaseError::Kind::Conflict ||
                        e.kind() == DatabaseError::Kind::Connection)
                        throw;
                    j->error = std::current_exception();
                    db.execute("ROLLBACK TO SAVEPOINT GROUPSAVE");
                    db.execute("RELEASE SAVEPOINT GROUPSAVE");
                } catch (...) {
                    j->error = std::current_exception();
                    db.execute("ROLLBACK TO SAVEPOINT GROUPSAVE");
                    db.execute("RELEASE SAVEPOINT GROUPSAVE");
                }
            }
        });
    } catch (...) {
        // The shared commit failed: nothing of the batch was written.
        for (Job* j : batch)
            j->error = std::current_exception();
    }
}

} // namespace srv
