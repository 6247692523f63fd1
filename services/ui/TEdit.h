#pragma once

#include "services/ui/TWinControl.h"

#include <string>

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A one-line text box. The operator types at the end of the text; entering the box selects
// its whole text, so the first character typed replaces it (and Backspace or Delete then
// clears it).
class TEdit : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool IsFocusable() const override { return true; }

    const std::string& Text() const { return m_text; }
    // Sets the text (fires OnChange when it differs).
    void SetText(const std::string& text);
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
    // Puts a typed character into `text`; false when it does not fit.
    virtual bool InsertChar(std::string& text, TKeyChar key) const;
    virtual void RemoveLast(std::string& text) const;
    virtual std::string ClearedText() const { return {}; }
    bool m_selected = false;

private:
    std::string m_text;
    int m_maxLength = 0;
    bool m_readOnly = false;
    TEditCharCase m_charCase = ecNormal;
    bool m_autoSelect = true;
};

// Appends a code point to a UTF-8 text.
void AppendUtf8(std::string& text, char32_t ch);
// Number of code points of a UTF-8 text.
std::size_t Utf8Length(const std::string& text);
