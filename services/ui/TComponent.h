#pragma once

#include "services/data/TextCase.h"

#include "services/ui/ControlObserver.h"
#include "services/ui/UiTypes.h"

#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

// A named component owned by another; an owner frees what it owns and finds it by name.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return m_name; }
    void SetName(std::string name);
    TComponent* Owner() const { return m_owner; }
    const std::vector<TComponent*>& Components() const { return m_components; }
    int ComponentCount() const { return static_cast<int>(m_components.size()); }

    // The owned component with that name, letter case ignored; nullptr when none.
    TComponent* FindComponent(std::string_view name) const;
    template <class T> T* Find(std::string_view name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }

    // The class name as written in the source, without namespaces ("TfrmPadraoGrid").
    std::string ClassName() const;
    // The same name for a class not at hand as an object.
    static std::string ClassNameOf(const std::type_info& type);

    int Tag = 0;

    void SetObserver(ControlObserver* observer) { m_observer = observer; }
    ControlObserver* Observer() const { return m_observer; }

protected:
    // Tells the observer that a property changed.
    void Changed(Property property);
    // Frees every owned component now; forms call it first thing in their destructor so that
    // controls never outlive the containers they point to.
    void DestroyComponents();

private:
    std::string m_name;
    TComponent* m_owner = nullptr;
    std::vector<TComponent*> m_components;
    ControlObserver* m_observer = nullptr;
};
