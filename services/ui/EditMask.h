#pragma once

#include "services/ui/UiTypes.h"

#include <string>
#include <vector>

// An input mask such as "!99/9999;1; ": the part before the first ";" lays out the text
// ("9" and "0" digits, "L"/"l" letters, "A"/"a" letters or digits, "C"/"c" any character,
// "\" quotes the next, "!", ">", "<" are flags, anything else a literal that typing skips).
class EditMask {
public:
    explicit EditMask(const std::string& mask = {});
    bool Empty() const { return m_slots.empty(); }
    // The empty text: blanks where the operator types, literals in place ("  /    ").
    std::string Blank() const;
    // Puts the character in the first free place of `text`; false when it does not fit.
    bool Insert(std::string& text, char ch) const;
    // Clears the last filled place of `text`.
    void Backspace(std::string& text) const;
    // Whether the character at `pos` of the layout is a place to type (not a literal).
    bool IsPlace(int pos) const;
    // Whether the place at `pos` takes the character.
    bool Accepts(int pos, char ch) const;

private:
    struct Slot {
        char kind; // 0 for a literal
        char literal;
    };
    std::vector<Slot> m_slots;
};
