#include "server/store/RowPipeline.h"

#include <cassert>
#include <condition_variable>
#include <deque>
#include <exception>
#include <iterator>
#include <mutex>
#include <thread>

namespace srv {

namespace {

// Small enough that the user starts early, large enough that the lock is taken rarely.
constexpr std::size_t kRowsPerBatch = 256;
// How far reading may run ahead of using: bounds the rows held in between.
constexpr std::size_t kBatchesAhead = 16;

// The cells of consecutive rows, row after row.
using Batch = std::vector<Variant>;

// Thrown inside the reader's loop to end it once the user has failed.
struct UserFailed {};

class Handover {
public:
    // Queues a full batch, waiting while the user is far behind; false once the user failed.
    bool put(Batch&& batch) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_queued.size() < kBatchesAhead || m_failed; });
        if (m_failed) return false;
        m_queued.push_back(std::move(batch));
        m_changed.notify_all();
        return true;
    }
    // The next batch, or false once the reader is done and every batch was taken.
    bool take(Batch& batch) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_queued.empty() || m_done; });
        if (m_queued.empty()) return false;
        batch = std::move(m_queued.front());
        m_queued.pop_front();
        m_changed.notify_all();
        return true;
    }
    // A batch the user has emptied, whose room the reader may fill again.
    void recycle(Batch&& batch) {
        std::lock_guard lock(m_mutex);
        if (m_spare.size() < kBatchesAhead) m_spare.push_back(std::move(batch));
    }
    Batch fresh() {
        std::lock_guard lock(m_mutex);
        if (m_spare.empty()) return {};
        Batch b = std::move(m_spare.back());
        m_spare.pop_back();
        return b;
    }
    void finish() {
        std::lock_guard lock(m_mutex);
        m_done = true;
        m_changed.notify_all();
    }
    void fail(std::exception_ptr error) {
        std::lock_guard lock(m_mutex);
        m_error = std::move(error);
        m_failed = true;
        m_queued.clear();
        m_changed.notify_all();
    }
    std::exception_ptr error() {
        std::lock_guard lock(m_mutex);
        return m_error;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_queued;
    std::vector<Batch> m_spare;
    bool m_done = false;
    bool m_failed = false;
    std::exception_ptr m_error;
};

} // namespace

void RowPipeline::forEachRow(Database& db, std::string_view sql, const std::vector<Variant>& params,
                             const Database::RowVisitor& each) {
    Handover handover;
    QueryResult header; // written by the reader before its first batch is queued
    std::size_t width = 0;
    std::thread user([&] {
        try {
            Batch batch;
            std::vector<Variant> row;
            while (handover.take(batch)) {
                for (auto at = batch.begin(); at != batch.end(); at += static_cast<long>(width)) {
                    row.assign(std::make_move_iterator(at),
                               std::make_move_iterator(at + static_cast<long>(width)));
                    each(header, row);
                }
                batch.clear();
                handover.recycle(std::move(batch));
            }
        } catch (...) {
            handover.fail(std::current_exception());
        }
    });
    try {
        Batch batch;
        db.forEachRow(sql, params, [&](const QueryResult& columns, std::vector<Variant>& row) {
            if (header.columns.empty()) {
                header.columns = columns.columns;
                width = row.size();
                assert(width > 0 && "a query returns at least one column");
            }
            if (batch.capacity() == 0) {
                batch = handover.fresh();
                batch.reserve(kRowsPerBatch * width);
            }
            batch.insert(batch.end(), std::make_move_iterator(row.begin()),
                         std::make_move_iterator(row.end()));
            if (batch.size() >= kRowsPerBatch * width) {
                if (!handover.put(std::move(batch))) throw UserFailed{};
                batch = Batch();
            }
        });
        if (!batch.empty()) handover.put(std::move(batch));
    } catch (const UserFailed&) {
        // The user's own exception is the one to report, below.
    } catch (...) {
        handover.fail(nullptr);
        handover.finish();
        user.join();
        throw;
    }
    handover.finish();
    user.join();
    if (std::exception_ptr error = handover.error()) std::rethrow_exception(error);
}

} // namespace srv
