#include "shell/ShellHost.h"

#include "shell/ModuleLoader.h"

ShellHost::ShellHost(Session session, ModuleLoader& loader)
    : m_session(std::move(session)), m_loader(loader) {}

void ShellHost::LoadBPL(const std::string& code, const std::vector<Variant>& params) {
    if (!m_loader.enterWithParams(code, params) && reportError) reportError(m_loader.lastError());
}
