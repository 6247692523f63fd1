#pragma once

#include "services/ui/EditMask.h"
#include "services/ui/UiTypes.h"

#include <string>

// The text of a one-line editor with its caret and selection, edited the way the keyboard
// does: typing replaces the selection and inserts at the caret, Backspace and Delete remove
// around it, the arrows, Home and End move it. With an input mask the text keeps its layout:
// typing fills the next free place, removing blanks a place. Positions count characters.
class LineEditor {
public:
    LineEditor(const std::string& text, int selStart, int selLength, const EditMask& mask,
               int maxLength = 0);

    // False when the character does not fit (length, mask).
    bool type(TKeyChar ch);
    void backspace();
    void del();
    // Arrow, Home and End keys; false for other keys.
    bool move(TKeyCode key);

    std::string text() const;
    int selStart() const { return m_selStart; }
    int selLength() const { return m_selLength; }

private:
    void removeSelection();
    bool editable(int pos) const;

    std::u32string m_text;
    int m_selStart;
    int m_selLength;
    EditMask m_mask;
    int m_maxLength;
};

// UTF-8 <-> code points.
std::u32string ToU32(const std::string& text);
std::string FromU32(const std::u32string& text);
