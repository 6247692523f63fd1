// Entry points of the products-by-expense-type module, called by the host after loading it.

#include "products/Cli_fyn10395.h"
#include "services/ui/Application.h"
#include "services/ui/TForm.h"

#include <vector>

extern "C" {

void ModuleInitialization() {}

// Screens of this module are freed before its code goes away.
void ModuleFinalization() {
    if (!Application::installed()) return;
    std::vector<TForm*> ours;
    for (TForm* form : Application::instance().forms())
        if (form->Module() == kProdDespModule) ours.push_back(form);
    for (auto it = ours.rbegin(); it != ours.rend(); ++it)
        delete *it;
}

// The screen needs its item: without the values there is nothing to show.
void IniProc() {}

// Opens the screen for the item; whatever goes wrong was shown already and is never thrown
// into the host.
void IniProcParams(const Variant* params, int count) {
    if (!Application::installed() || !params) return;
    const std::vector<Variant> values(params, params + count);
    try {
        Application::instance().dispatch([&values] { criaProdDesp(values); });
    } catch (...) {
    }
}

} // extern "C"
