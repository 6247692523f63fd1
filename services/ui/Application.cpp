#include "services/ui/Application.h"

#include "services/data/EAbort.h"
#include "services/ui/Platform.h"
#include "services/ui/TForm.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cmath>
#include <ctime>
#include <exception>

namespace {
Application* g_current = nullptr;

// The library routines see whichever application is current.
void makeCurrent(Application* app) {
    g_current = app;
    LibraryHost::install(app);
}

// Days between 30/12/1899 and 01/01/1970.
constexpr double kUnixEpochDays = 25569.0;
} // namespace

Application::Application(Platform& platform, HostServices* host)
    : m_platform(&platform), m_host(host) {}

Application::~Application() {
    // The forms see this application while they are freed, whichever one is installed.
    Application* previous = g_current;
    makeCurrent(this);
    // Free the newest first: a dialog may point at the screen that opened it.
    while (!m_owned.empty()) {
        TForm* form = m_owned.back();
        m_owned.pop_back();
        delete form;
    }
    makeCurrent(previous == this ? nullptr : previous);
}

Application& Application::instance() {
    assert(g_current && "no Application installed");
    return *g_current;
}

bool Application::installed() {
    return g_current != nullptr;
}

double Application::now() const {
    if (m_fixedClock) return m_fixedToday;
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    // Local wall-clock time expressed as if it were UTC, so the day number is the local one.
    std::tm copy = local;
    double seconds = static_cast<double>(timegm(&copy));
    return kUnixEpochDays + seconds / 86400.0;
}

double Application::today() const {
    return std::floor(now());
}

void Application::setToday(double days) {
    m_fixedClock = true;
    m_fixedToday = std::floor(days);
}

void Application::useSystemClock() {
    m_fixedClock = false;
}

void Application::showError(const std::string& text) {
    m_platform->MessageBox(MessageKind::Error, text, MessageButtons::Ok);
}

TForm* Application::findForm(const std::string& className) const {
    for (auto it = m_forms.rbegin(); it != m_forms.rend(); ++it)
        if ((*it)->ClassName() == className) return *it;
    return nullptr;
}

bool Application::dispatch(const std::function<void()>& event) {
    if (m_depth > 0) {
        event();
        return true;
    }
    ++m_depth;
    bool completed = true;
    try {
        event();
    } catch (const EAbort&) {
        completed = false;
    } catch (const ScriptError&) {
        --m_depth;
        throw;
    } catch (const std::exception& e) {
        completed = false;
        m_platform->MessageBox(MessageKind::Error, e.what(), MessageButtons::Ok);
    } catch (...) {
        // Whatever was thrown, the operator's screen stays up.
        completed = false;
        m_platform->MessageBox(MessageKind::Error, "Erro inesperado.", MessageButtons::Ok);
    }
    --m_depth;
    freeReleasedForms();
    return completed;
}

void Application::setCursor(TCursor cursor) {
    m_platform->SetCursor(cursor);
}

TCursor Application::cursor() const {
    return m_platform->Cursor();
}

void Application::registerForm(TForm* form) {
    m_forms.push_back(form);
}

void Application::unregisterForm(TForm* form) {
    std::erase(m_forms, form);
    std::erase(m_owned, form);
    std::erase(m_released, form);
}

void Application::adoptForm(TForm* form) {
    m_owned.push_back(form);
}

void Application::releaseForm(TForm* form) {
    // Only forms the application created can be freed by it; others are just closed.
    if (std::find(m_owned.begin(), m_owned.end(), form) == m_owned.end()) return;
    if (std::find(m_released.begin(), m_released.end(), form) == m_released.end())
        m_released.push_back(form);
    if (m_depth == 0) freeReleasedForms();
}

int Application::enterModalLoop() {
    int saved = m_depth;
    m_depth = 0;
    ++m_modalLoops;
    return saved;
}

void Application::leaveModalLoop(int savedDepth) {
    m_depth = savedDepth;
    --m_modalLoops;
}

void Application::freeReleasedForms() {
    // Inside a modal run the handler that opened the dialog is still on its way: forms are
    // freed once every event is over.
    if (m_depth > 0 || m_modalLoops > 0) return;
    // A form still running modally stays until its run ends. Freeing one form may free others
    // it owns; they leave the list as they go.
    for (;;) {
        auto it = std::find_if(m_released.begin(), m_released.end(),
                               [](TForm* f) { return !f->Modal(); });
        if (it == m_released.end()) break;
        TForm* form = *it;
        m_released.erase(it);
        delete form;
    }
}

ApplicationScope::ApplicationScope(Application& app) : m_previous(g_current) {
    makeCurrent(&app);
}

ApplicationScope::~ApplicationScope() {
    makeCurrent(m_previous);
}
