#pragma once

#include "services/ui/TEdit.h"

// A box for a number typed with the decimal comma ("1.234,56").
class TNumberEdit : public TEdit {
public:
    using TEdit::TEdit;
    int Decimals() const { return m_decimals; }
    void SetDecimals(int decimals) { m_decimals = decimals; }
    // The number typed; 0 for an empty box or a text that is not a number.
    double GetNumber() const;
    // Shows the number with thousands groups and the box's decimals.
    void SetNumber(double value);

protected:
    bool Accepts(TKeyChar key) const override;

private:
    int m_decimals = 2;
};
