#pragma once

#include <string>

class TDBGrid;
class TField;

// A column of a TDBGrid, bound to a field of the grid's dataset by name (the name can change
// at run time: the column then shows the other field).
class TColumn {
public:
    TColumn(TDBGrid& grid, std::string fieldName);

    TDBGrid& Grid() const { return m_grid; }
    int Index() const;
    const std::string& FieldName() const { return m_fieldName; }
    void SetFieldName(const std::string& fieldName);
    // The bound field, or nullptr when the dataset has none of that name (or is missing).
    TField* Field() const;
    // The title; the field's display label when none was given.
    std::string TitleCaption() const;
    void SetTitleCaption(const std::string& caption);
    // Titles drawn with the symbol character set (the check columns' title "4").
    bool TitleSymbolFont() const { return m_titleSymbolFont; }
    void SetTitleSymbolFont(bool symbol);
    int Width() const { return m_width; }
    void SetWidth(int width);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

private:
    void changed();

    TDBGrid& m_grid;
    std::string m_fieldName;
    std::string m_title;
    bool m_titleSymbolFont = false;
    int m_width = 64;
    bool m_readOnly = false;
    bool m_visible = true;
};
