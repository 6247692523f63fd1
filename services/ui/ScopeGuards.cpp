#include "services/ui/ScopeGuards.h"

#include "services/data/TClientDataSet.h"
#include "services/ui/Application.h"
#include "services/ui/Platform.h"

CursorGuard::CursorGuard() {
    Application::instance().setCursor(crHourGlass);
}

CursorGuard::~CursorGuard() {
    Application::instance().setCursor(crDefault);
}

void ActiveShowAvi(TComponent*, int kind, const std::string& text) {
    Application::instance().platform().ShowProgress(kind, text);
}

void DeactiveShowAvi() {
    Application::instance().platform().HideProgress();
}

ProgressGuard::ProgressGuard(TComponent* owner, int kind, const std::string& text) {
    ActiveShowAvi(owner, kind, text);
}

ProgressGuard::~ProgressGuard() {
    DeactiveShowAvi();
}

FreezeGuard::FreezeGuard(TClientDataSet& dataSet) : m_dataSet(dataSet) {
    m_dataSet.DisableControls();
}

FreezeGuard::~FreezeGuard() {
    try {
        m_dataSet.EnableControls();
    } catch (...) {
        // A display refresh failing must not replace the error that is on its way out.
    }
}
