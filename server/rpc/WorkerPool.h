#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace srv {

// A fixed set of threads that run submitted jobs in order of arrival. Thread-safe.
class WorkerPool {
public:
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues a job; false (and the job is dropped) once the pool is closing.
    bool submit(std::function<void()> job);
    // Refuses further jobs and waits until the queued and running ones are done.
    void drain();

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    int m_running = 0;
    bool m_closing = false;
    std::vector<std::thread> m_threads;
};

} // namespace srv
