#pragma once

#include <functional>
#include <utility>

// Runs a step when the scope ends, whichever way it ends: the "finally" of a handler.
class Finally {
public:
    explicit Finally(std::function<void()> step) : m_step(std::move(step)) {}
    ~Finally() {
        if (m_step) m_step();
    }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;
    // The step will not run.
    void dismiss() { m_step = nullptr; }

private:
    std::function<void()> m_step;
};
