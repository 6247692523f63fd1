#pragma once

#include "services/data/DataPacket.h"
#include "services/data/Variant.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TClientDataSet;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// One column of a TClientDataSet and the door to its value in the current row. Reading gives
// the current row's value (null on an empty or closed dataset); writing needs the dataset in
// edit or insert state and a field that is not read-only, converts the value to the field's
// type and refuses what does not fit (DataSetError naming the field).
class TField {
public:
    TField(TClientDataSet& dataSet, std::string name, FieldType type, int size);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const noexcept { return m_name; }
    FieldType DataType() const noexcept { return m_type; }
    // Characters for text fields (0: no limit), 0 for the other types.
    int Size() const noexcept { return m_size; }
    TClientDataSet& DataSet() const noexcept { return m_dataSet; }
    // Position in the dataset's storage; stays put when Index changes.
    int FieldNo() const noexcept { return m_fieldNo; }

    // Typed reads of the current row. Null reads as "", 0, false; a text that is not a number
    // or a date read as one throws DataSetError.
    std::string AsString() const;
    double AsFloat() const;
    std::int32_t AsInteger() const;
    // Days since 30/12/1899.
    double AsDateTime() const;
    bool AsBoolean() const;
    const Variant& AsVariant() const;
    bool IsNull() const;

    // Typed writes of the current row (edit or insert state only).
    void SetAsString(std::string_view text);
    void SetAsFloat(double value);
    void SetAsInteger(std::int32_t value);
    void SetAsDateTime(double days);
    void SetAsBoolean(bool value);
    void SetAsVariant(const Variant& value);
    void Clear();

    // The value as the operator edits it: OnGetText with displayText false when attached, else
    // the EditFormat (or the DisplayFormat, or the plain text).
    std::string Text() const;
    // Stores a typed text: OnSetText when attached, else converts it (empty text -> null).
    void SetText(const std::string& text);
    // The value as shown: OnGetText with displayText true when attached, else DisplayFormat.
    std::string DisplayText() const;
    // The DisplayLabel, or the field name when it has none.
    const std::string& DisplayName() const noexcept;

    const std::string& DisplayLabel() const noexcept { return m_displayLabel; }
    void SetDisplayLabel(std::string label);
    const std::string& DisplayFormat() const noexcept { return m_displayFormat; }
    void SetDisplayFormat(std::string format);
    const std::string& EditFormat() const noexcept { return m_editFormat; }
    void SetEditFormat(std::string format);
    // Kept for the editors of the control layer (e.g. "!99/9999;1; ").
    const std::string& EditMask() const noexcept { return m_editMask; }
    void SetEditMask(std::string mask);
    bool Visible() const noexcept { return m_visible; }
    void SetVisible(bool visible);
    bool ReadOnly() const noexcept { return m_readOnly; }
    void SetReadOnly(bool readOnly) noexcept { m_readOnly = readOnly; }
    // Range of numeric values; no check while both are 0.
    double MaxValue() const noexcept { return m_maxValue; }
    void SetMaxValue(double value) noexcept { m_maxValue = value; }
    double MinValue() const noexcept { return m_minValue; }
    void SetMinValue(double value) noexcept { m_minValue = value; }
    TAlignment Alignment() const noexcept { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    // Width in characters a grid gives the column by default.
    int DisplayWidth() const noexcept;
    void SetDisplayWidth(int width);
    // Position among the dataset's Fields(); setting it moves the field.
    int Index() const noexcept;
    void SetIndex(int index);

    // Replaces the text of the value (displayText true: for showing; false: for editing).
    std::function<void(TField&, std::string&, bool displayText)> OnGetText;
    // Replaces the conversion of a typed text; the handler stores what it decides.
    std::function<void(TField&, const std::string&)> OnSetText;

private:
    friend class TClientDataSet;

    Variant convert(const Variant& value) const;
    void store(Variant value);
    std::string plainText() const;
    std::string formatted(const std::string& format) const;

    TClientDataSet& m_dataSet;
    std::string m_name;
    FieldType m_type;
    int m_size;
    int m_fieldNo = -1;
    std::string m_displayLabel;
    std::string m_displayFormat;
    std::string m_editFormat;
    std::string m_editMask;
    bool m_visible = true;
    bool m_readOnly = false;
    double m_maxValue = 0;
    double m_minValue = 0;
    TAlignment m_alignment;
    int m_displayWidth = 0;
    bool m_declared = false; // by AddField: survives a packet without it
};
