#pragma once

#include "services/lib/LibraryHost.h"
#include "services/ui/UiTypes.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

class Platform;
class HostServices;
class OptionStore;
class TForm;

// A fault of a test or scenario script driving the screens (an unknown control, a failed
// check): it is never shown as a message but goes through every event to the script's runner.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The one process-wide object: the platform, the host's services, today's date and the forms
// that are open. Tests build their own and install it with ApplicationScope.
class Application : public LibraryHost {
public:
    explicit Application(Platform& platform, HostServices* host = nullptr);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The installed application; asserts that there is one.
    static Application& instance();
    static bool installed();

    Platform& platform() const { return *m_platform; }
    void setPlatform(Platform& platform) { m_platform = &platform; }
    HostServices* host() const override { return m_host; }
    void setHost(HostServices* host) { m_host = host; }

    // Where filter dialogs keep their saved options (nullptr: saving is not offered).
    OptionStore* optionStore() const { return m_optionStore; }
    void setOptionStore(OptionStore* store) { m_optionStore = store; }

    // Today as days since 30/12/1899 (the dataset's date-time), local time, no fraction.
    double today() const;
    // Now, with the time of day as the fraction.
    double now() const;
    // Fixes the clock (tests); `now` is then the fixed day at 00:00.
    void setToday(double days);
    void useSystemClock();

    // An error box through the platform.
    void showError(const std::string& text) override;

    // Creates a form owned by the application, fires its OnCreate, and returns it.
    template <class T, class... Args> T* createForm(Args&&... args) {
        return createModuleForm<T>(std::string(), std::forward<Args>(args)...);
    }
    // The same for a module's form: it is marked with the module's code before its OnCreate
    // runs, so that the module finds its own forms when it is unloaded.
    template <class T, class... Args>
    T* createModuleForm(const std::string& module, Args&&... args) {
        auto* form = new T(std::forward<Args>(args)...);
        form->SetModule(module);
        adoptForm(form);
        form->DoCreate();
        return form;
    }
    // Forms open now (created and not yet freed), in creation order.
    const std::vector<TForm*>& forms() const { return m_forms; }
    // The last created form of that class name, or nullptr.
    TForm* findForm(const std::string& className) const;

    // Runs one operator event. A silent abort ends it quietly; any other exception is shown
    // as an error message. Nested calls (a handler raising another event) let exceptions
    // through to the outermost one. Forms released during the event are freed at the end.
    // Returns false when the event ended by an exception.
    bool dispatch(const std::function<void()>& event);
    bool dispatching() const { return m_depth > 0; }

    // The screen cursor, through the platform.
    void setCursor(TCursor cursor);
    TCursor cursor() const;

    // For TForm.
    void registerForm(TForm* form);
    void unregisterForm(TForm* form);
    void releaseForm(TForm* form);
    // A modal run is a new event loop: events inside it are outermost again.
    int enterModalLoop();
    void leaveModalLoop(int savedDepth);
    // Frees forms released while no event was running.
    void freeReleasedForms();

private:
    void adoptForm(TForm* form);

    Platform* m_platform;
    HostServices* m_host;
    OptionStore* m_optionStore = nullptr;
    bool m_fixedClock = false;
    double m_fixedToday = 0;
    std::vector<TForm*> m_forms;
    std::vector<TForm*> m_owned;
    std::vector<TForm*> m_released;
    int m_depth = 0;
    int m_modalLoops = 0;
};

// Installs an application as the process-wide one for its lifetime, then restores the
// previous one.
class ApplicationScope {
public:
    explicit ApplicationScope(Application& app);
    ~ApplicationScope();
    ApplicationScope(const ApplicationScope&) = delete;
    ApplicationScope& operator=(const ApplicationScope&) = delete;

private:
    Application* m_previous;
};
