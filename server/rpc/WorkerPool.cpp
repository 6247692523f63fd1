#include "server/rpc/WorkerPool.h"

namespace srv {

WorkerPool::WorkerPool(int threads) {
    for (int i = 0; i < (threads > 0 ? threads : 1); ++i)
        m_threads.emplace_back([this] { work(); });
}

WorkerPool::~WorkerPool() {
    drain();
    for (std::thread& t : m_threads)
        t.join();
}

bool WorkerPool::submit(std::function<void()> job) {
    {
        std::lock_guard lock(m_mutex);
        if (m_closing) return false;
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    return true;
}

void WorkerPool::drain() {
    std::unique_lock lock(m_mutex);
    m_closing = true;
    m_wake.notify_all();
    m_idle.wait(lock, [this] { return m_jobs.empty() && m_running == 0; });
}

void WorkerPool::work() {
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [this] { return m_closing || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            m_idle.notify_all();
            return;
        }
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_running;
        lock.unlock();
        job();
        lock.lock();
        --m_running;
        if (m_jobs.empty() && m_running == 0) m_idle.notify_all();
    }
}

} // namespace srv
