#pragma once

#include <string>
#include <utility>

class TClientDataSet;
class TComponent;

// Detaches an event handler (any std::function slot) for the guard's lifetime and puts it
// back on every way out.
template <class Slot> class HandlerGuard {
public:
    explicit HandlerGuard(Slot& slot) : m_slot(slot), m_saved(std::move(slot)) { m_slot = nullptr; }
    ~HandlerGuard() { m_slot = std::move(m_saved); }
    HandlerGuard(const HandlerGuard&) = delete;
    HandlerGuard& operator=(const HandlerGuard&) = delete;

private:
    Slot& m_slot;
    Slot m_saved;
};

// The hourglass cursor for the guard's lifetime; the default cursor afterwards.
class CursorGuard {
public:
    CursorGuard();
    ~CursorGuard();
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;
};

// The progress window for the guard's lifetime.
class ProgressGuard {
public:
    ProgressGuard(TComponent* owner, int kind, const std::string& text);
    ~ProgressGuard();
    ProgressGuard(const ProgressGuard&) = delete;
    ProgressGuard& operator=(const ProgressGuard&) = delete;
};

// A dataset's controls frozen (DisableControls) for the guard's lifetime.
class FreezeGuard {
public:
    explicit FreezeGuard(TClientDataSet& dataSet);
    ~FreezeGuard();
    FreezeGuard(const FreezeGuard&) = delete;
    FreezeGuard& operator=(const FreezeGuard&) = delete;

private:
    TClientDataSet& m_dataSet;
};

// Shows the progress window: kind 1 or 6, with a text (may be empty).
void ActiveShowAvi(TComponent* owner, int kind, const std::string& text);
// Closes the progress window; harmless when it is not shown.
void DeactiveShowAvi();
