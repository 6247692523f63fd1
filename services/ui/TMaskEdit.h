#pragma once

#include "services/ui/EditMask.h"
#include "services/ui/TEdit.h"

// A text box laid out by an input mask; its empty text is the mask's blank ("  /  /    ").
class TMaskEdit : public TEdit {
public:
    using TEdit::TEdit;
    const std::string& EditMask() const { return m_maskText; }
    void SetEditMask(const std::string& mask);
    // The text without its blanks and literals-only remains: "" for an untouched box.
    std::string TrimmedText() const;
    // Every place of the mask filled (a box without a mask: any text).
    bool IsComplete() const;

protected:
    const ::EditMask& Mask() const override { return m_mask; }

private:
    std::string m_maskText;
    ::EditMask m_mask;
};
