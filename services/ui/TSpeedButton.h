#pragma once

#include "services/ui/TControl.h"

#include <string>

// A toolbar button that never takes the focus; shows a picture and a hint.
class TSpeedButton : public TControl {
public:
    using TControl::TControl;
    const std::string& Glyph() const { return m_glyph; }
    void SetGlyph(const std::string& glyph) {
        m_glyph = glyph;
        Changed(Property::Picture);
    }
    bool Flat() const { return m_flat; }
    void SetFlat(bool flat) { m_flat = flat; }

    // Clicks only when enabled, as the pointer would.
    void Click() override {
        if (EffectivelyEnabled()) TControl::Click();
    }

private:
    std::string m_glyph;
    bool m_flat = true;
};
