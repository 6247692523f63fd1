#pragma once

#include "services/ui/TWinControl.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };

// A plain container; its OnEnter/OnExit fire when the focus enters or leaves it.
class TPanel : public TWinControl {
public:
    using TWinControl::TWinControl;
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut bevel) {
        m_bevelOuter = bevel;
        Changed(Property::Other);
    }

private:
    TBevelCut m_bevelOuter = bvRaised;
};
