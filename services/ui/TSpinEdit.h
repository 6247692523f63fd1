#pragma once

#include "services/ui/TEdit.h"

// A box for a whole number within a range; Up and Down step it.
class TSpinEdit : public TEdit {
public:
    using TEdit::TEdit;
    int MinValue() const { return m_min; }
    int MaxValue() const { return m_max; }
    void SetRange(int minValue, int maxValue);
    // The number typed; MinValue when empty or not a number.
    int Value() const;
    // Shows the number, brought into the range.
    void SetValue(int value);

    void DefaultKeyDown(TKeyCode& key, TShiftState shift) override;
    void DoExit() override;

protected:
    bool Accepts(TKeyChar key) const override {
        return (key >= U'0' && key <= U'9') || key == U'-';
    }

private:
    int clamp(int value) const;
    int m_min = 0;
    int m_max = 0;
};
