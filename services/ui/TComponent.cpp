#include "services/ui/TComponent.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

TComponent::TComponent(TComponent* owner) : m_owner(owner) {
    if (m_owner) m_owner->m_components.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (m_observer) m_observer->destroyed(*this);
    if (m_owner) std::erase(m_owner->m_components, this);
}

void TComponent::DestroyComponents() {
    while (!m_components.empty()) {
        TComponent* child = m_components.back();
        m_components.pop_back();
        child->m_owner = nullptr;
        delete child;
    }
}

void TComponent::SetName(std::string name) {
    if (name == m_name) return;
    m_name = std::move(name);
    Changed(Property::Name);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : m_components)
        if (equalsNoCase(c->m_name, name)) return c;
    return nullptr;
}

std::string TComponent::ClassName() const {
    return ClassNameOf(typeid(*this));
}

std::string TComponent::ClassNameOf(const std::type_info& type) {
    const char* mangled = type.name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && plain ? std::string(plain.get()) : std::string(mangled);
    // Scripts name forms by their bare class name, whatever namespace holds them.
    if (auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
    return name;
}

void TComponent::Changed(Property property) {
    if (m_observer) m_observer->propertyChanged(*this, property);
}
