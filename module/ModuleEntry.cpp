// Entry points of the budget module: the host calls them by name after loading the library.

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/ui/Application.h"
#include "services/ui/TForm.h"

#include <vector>

extern "C" {

// Start-up hook: the module's variables take their initial values.
void ModuleInitialization() {
    initializeModuleState();
}

// Shut-down hook: screens of this module are freed before its code goes away.
void ModuleFinalization() {
    if (Application::installed()) {
        std::vector<TForm*> ours;
        for (TForm* form : Application::instance().forms())
            if (form->Module() == kModuleCode) ours.push_back(form);
        // Newest first: a dialog may still point at the screen that opened it.
        for (auto it = ours.rbegin(); it != ours.rend(); ++it)
            delete *it;
    }
    frmCalcOrcaOper = nullptr;
    boStCriado = false;
    finalizeModuleState();
}

// The module's entry: opens the main screen; whatever goes wrong is shown, never thrown
// into the host.
void IniProc() {
    if (!Application::installed()) return;
    Application::instance().dispatch([] { CriaCalcOrcaOper(); });
}

} // extern "C"
