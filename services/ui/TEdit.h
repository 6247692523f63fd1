#pragma once

#include "services/ui/EditMask.h"
#include "services/ui/TWinControl.h"

#include <string>

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A one-line text box with a caret and a selection (see LineEditor). Entering the box
// selects its whole text (AutoSelect), so the first character typed replaces it.
class TEdit : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool IsFocusable() const override { return true; }

    const std::string& Text() const { return m_text; }
    // Sets the text (fires OnChange when it differs); the caret goes to its end (to the start
    // of a masked box).
    void SetText(const std::string& text);
    // Caret and selection, in characters.
    int SelStart() const { return m_selStart; }
    int SelLength() const { return m_selLength; }
    void SetSelStart(int start);
    void SetSelLength(int length);
    void SelectAll();
    // Characters allowed (0: any number).
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int length);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    TEditCharCase CharCase() const { return m_charCase; }
    void SetCharCase(TEditCharCase charCase) { m_charCase = charCase; }
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }

    TNotifyEvent OnChange;

    void DoEnter() override;
    void DefaultKeyPress(TKeyChar& key) override;
    void DefaultKeyDown(TKeyCode& key, TShiftState shift) override;

protected:
    // Whether this box takes the character at all (number and date boxes narrow it).
    virtual bool Accepts(TKeyChar key) const { return key >= 32; }
    // The input mask laying out the text (none for a plain box).
    virtual const ::EditMask& Mask() const;

private:
    void setEdited(const std::string& text, int selStart, int selLength);

    std::string m_text;
    int m_selStart = 0;
    int m_selLength = 0;
    int m_maxLength = 0;
    bool m_readOnly = false;
    TEditCharCase m_charCase = ecNormal;
    bool m_autoSelect = true;
};

// Appends a code point to a UTF-8 text.
void AppendUtf8(std::string& text, char32_t ch);
// Number of code points of a UTF-8 text.
std::size_t Utf8Length(const std::string& text);
