#include "services/data/TField.h"

#include "services/data/CellValue.h"
#include "services/data/DataSetCore.h"
#include "services/data/Int32Range.h"
#include "services/data/NumberFormat.h"
#include "services/data/TClientDataSet.h"

#include <algorithm>
#include <cctype>
#include <cmath>

using Notice = TDataSource::Notice;

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    while (!out.empty() && out.front() == ' ')
        out.erase(out.begin());
    return out;
}

int boolFromText(std::string_view text) {
    const std::string t = upper(text);
    if (t == "S" || t == "SIM" || t == "TRUE" || t == "T" || t == "1") return 1;
    if (t == "N" || t == "NAO" || t == "NÃO" || t == "FALSE" || t == "F" || t == "0") return 0;
    return -1;
}

std::size_t characters(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string dateText(double days) {
    std::string out = FormatDate("dd/mm/yyyy", days);
    if (days != std::floor(days)) out += FormatDate(" hh:nn:ss", days);
    return out;
}

} // namespace

TField::TField(TClientDataSet& dataSet, std::string name, FieldType type, int size)
    : m_dataSet(dataSet), m_name(std::move(name)), m_type(type), m_size(size),
      m_alignment(type == FieldType::Integer || type == FieldType::Float ? taRightJustify
                                                                         : taLeftJustify) {}

// --- Reading --------------------------------------------------------------------------------

const Variant& TField::AsVariant() const {
    return m_dataSet.m_core->value(m_fieldNo);
}

bool TField::IsNull() const {
    return AsVariant().isNull();
}

std::string TField::AsString() const {
    return plainText();
}

double TField::AsFloat() const {
    const Variant& v = AsVariant();
    double d = 0;
    if (v.type() == VarType::Text ? cell::textAsNumber(v.textView(), d) || v.textView().empty()
                                  : cell::number(v, d))
        return d;
    m_dataSet.m_core->fail("'" + v.toText() + "' não é um valor numérico válido (campo " + m_name +
                           ").");
}

std::int32_t TField::AsInteger() const {
    const double d = AsFloat();
    const double r = std::round(d);
    if (!inInt32Range(r))
        m_dataSet.m_core->fail("valor fora da faixa de inteiros (campo " + m_name + ").");
    return static_cast<std::int32_t>(r);
}

double TField::AsDateTime() const {
    const Variant& v = AsVariant();
    if (v.type() != VarType::Text) return AsFloat();
    double days = 0;
    if (v.textView().empty() || TryParseDate(v.textView(), days)) return days;
    m_dataSet.m_core->fail("'" + v.toText() + "' não é uma data válida (campo " + m_name + ").");
}

bool TField::AsBoolean() const {
    const Variant& v = AsVariant();
    if (v.type() == VarType::Text) {
        const int b = v.textView().empty() ? 0 : boolFromText(v.textView());
        if (b < 0)
            m_dataSet.m_core->fail("'" + v.toText() + "' não é um valor lógico (campo " + m_name +
                                   ").");
        return b == 1;
    }
    return AsFloat() != 0;
}

std::string TField::plainText() const {
    const Variant& v = AsVariant();
    switch (v.type()) {
    case VarType::Null:
        return {};
    case VarType::Text:
        return std::string(v.textView());
    case VarType::Boolean:
        return v.toBool() ? "True" : "False";
    case VarType::Integer:
        return std::to_string(v.toInt());
    case VarType::Double:
        return m_type == FieldType::DateTime ? dateText(v.toDouble())
                                             : FormatFloat("", v.toDouble());
    case VarType::DateTime:
        return dateText(v.toDouble());
    default:
        return v.toText();
    }
}

std::string TField::formatted(const std::string& format) const {
    const Variant& v = AsVariant();
    if (v.isNull()) return {};
    switch (m_type) {
    case FieldType::Integer:
    case FieldType::Float:
        return format.empty() ? plainText() : FormatFloat(format, v.toDouble());
    case FieldType::DateTime:
        return format.empty() ? plainText() : FormatDate(format, v.toDouble());
    case FieldType::Boolean:
        if (const auto semi = format.find(';'); semi != std::string::npos)
            return v.toBool() ? format.substr(0, semi) : format.substr(semi + 1);
        return plainText();
    case FieldType::String:
        return plainText();
    }
    return plainText();
}

std::string TField::Text() const {
    if (OnGetText) {
        std::string text;
        auto handler = OnGetText;
        handler(const_cast<TField&>(*this), text, false);
        return text;
    }
    return formatted(m_editFormat.empty() ? m_displayFormat : m_editFormat);
}

std::string TField::DisplayText() const {
    if (OnGetText) {
        std::string text;
        auto handler = OnGetText;
        handler(const_cast<TField&>(*this), text, true);
        return text;
    }
    return formatted(m_displayFormat);
}

const std::string& TField::DisplayName() const noexcept {
    return m_displayLabel.empty() ? m_name : m_displayLabel;
}

// --- Writing --------------------------------------------------------------------------------

Variant TField::convert(const Variant& value) const {
    DataSetCore& c = *m_dataSet.m_core;
    const VarType t = value.type();
    auto refuse = [&](const std::string& why) -> Variant {
        c.fail(why + " (campo " + m_name + ").");
    };
    if (t == VarType::Null) return {};
    if (t == VarType::Packet || t == VarType::Array)
        return refuse(std::string("um ") + Variant::typeName(t) + " não cabe num campo");
    if (t == VarType::Text) {
        const std::string_view text = value.textView();
        if (m_type == FieldType::String) return value;
        if (upper(text).empty()) return {};
        bool ok = false;
        switch (m_type) {
        case FieldType::Float: {
            const double d = TextToFloat(text, ok);
            if (!ok) return refuse("'" + std::string(text) + "' não é um valor numérico válido");
            return Variant(d);
        }
        case FieldType::Integer: {
            const double d = TextToFloat(text, ok);
            if (!ok || !isWholeInt32(d))
                return refuse("'" + std::string(text) + "' não é um número inteiro válido");
            return Variant(static_cast<int>(d));
        }
        case FieldType::DateTime: {
            double days = 0;
            if (!TryParseDate(text, days))
                return refuse("'" + std::string(text) + "' não é uma data válida");
            return Variant::fromDate(days);
        }
        case FieldType::Boolean: {
            const int b = boolFromText(text);
            if (b < 0) return refuse("'" + std::string(text) + "' não é um valor lógico");
            return Variant(b == 1);
        }
        case FieldType::String:
            break;
        }
        return value;
    }
    // Boolean, number or date.
    const double d = t == VarType::Boolean ? (value.toBool() ? 1 : 0) : value.toDouble();
    switch (m_type) {
    case FieldType::String:
        if (t == VarType::Boolean) return Variant(value.toBool() ? "True" : "False");
        if (t == VarType::Integer) return Variant(std::to_string(value.toInt()));
        if (t == VarType::DateTime) return Variant(dateText(d));
        return Variant(FormatFloat("", d));
    case FieldType::Integer:
        if (!isWholeInt32(d)) return refuse(FormatFloat("", d) + " não é um número inteiro");
        return Variant(static_cast<int>(d));
    case FieldType::Float:
        if (t == VarType::Boolean) return refuse("um valor lógico não é um número");
        return Variant(d);
    case FieldType::DateTime:
        if (t == VarType::Boolean) return refuse("um valor lógico não é uma data");
        return Variant::fromDate(d);
    case FieldType::Boolean:
        return Variant(d != 0);
    }
    return value;
}

void TField::store(Variant value) {
    DataSetCore& c = *m_dataSet.m_core;
    if (!c.active || !c.editing())
        c.fail("o campo " + m_name + " só pode ser alterado em edição ou inclusão.");
    if (m_readOnly) c.fail("o campo " + m_name + " é somente leitura.");
    if (value.type() == VarType::Double || value.type() == VarType::Integer) {
        const double d = value.toDouble();
        if (!std::isfinite(d)) c.fail("valor não numérico para o campo " + m_name + ".");
        if ((m_maxValue != 0 || m_minValue != 0) && (d < m_minValue || d > m_maxValue))
            c.fail(FormatFloat("", d) + " não é um valor válido para o campo " + m_name +
                   ". O intervalo permitido é de " + FormatFloat("", m_minValue) + " a " +
                   FormatFloat("", m_maxValue) + ".");
    }
    if (value.type() == VarType::Text && m_size > 0 &&
        characters(value.textView()) > static_cast<std::size_t>(m_size))
        c.fail("o texto '" + std::string(value.textView()) + "' passa de " +
               std::to_string(m_size) + " caracteres (campo " + m_name + ").");
    c.followCursor();
    c.buffer[static_cast<std::size_t>(m_fieldNo)] = std::move(value);
    c.notify(Notice::Record, this);
}

void TField::SetAsString(std::string_view text) {
    store(convert(Variant(text)));
}
void TField::SetAsFloat(double value) {
    store(convert(Variant(value)));
}
void TField::SetAsInteger(std::int32_t value) {
    store(convert(Variant(static_cast<int>(value))));
}
void TField::SetAsDateTime(double days) {
    store(convert(Variant::fromDate(days)));
}
void TField::SetAsBoolean(bool value) {
    store(convert(Variant(value)));
}
void TField::SetAsVariant(const Variant& value) {
    store(convert(value));
}
void TField::Clear() {
    store(Variant());
}

void TField::SetText(const std::string& text) {
    if (OnSetText) {
        auto handler = OnSetText;
        handler(*this, text);
        return;
    }
    SetAsString(text);
}

// --- Properties -----------------------------------------------------------------------------

void TField::SetDisplayLabel(std::string label) {
    m_displayLabel = std::move(label);
    m_dataSet.m_core->notify(Notice::Layout);
}

void TField::SetDisplayFormat(std::string format) {
    m_displayFormat = std::move(format);
    m_dataSet.m_core->notify(Notice::Layout);
}

void TField::SetEditFormat(std::string format) {
    m_editFormat = std::move(format);
}

void TField::SetEditMask(std::string mask) {
    m_editMask = std::move(mask);
}

void TField::SetVisible(bool visible) {
    m_visible = visible;
    m_dataSet.m_core->notify(Notice::Layout);
}

void TField::SetAlignment(TAlignment alignment) {
    m_alignment = alignment;
    m_dataSet.m_core->notify(Notice::Layout);
}

int TField::DisplayWidth() const noexcept {
    if (m_displayWidth > 0) return m_displayWidth;
    switch (m_type) {
    case FieldType::String:
        return m_size > 0 ? m_size : 20;
    case FieldType::Boolean:
        return 5;
    default:
        return 10;
    }
}

void TField::SetDisplayWidth(int width) {
    m_displayWidth = width;
    m_dataSet.m_core->notify(Notice::Layout);
}

int TField::Index() const noexcept {
    const auto& fields = m_dataSet.Fields();
    const auto it = std::find(fields.begin(), fields.end(), this);
    return it == fields.end() ? -1 : static_cast<int>(it - fields.begin());
}

void TField::SetIndex(int index) {
    auto& fields = m_dataSet.m_fields;
    const int from = Index();
    if (from < 0 || fields.empty()) return;
    index = std::clamp(index, 0, static_cast<int>(fields.size()) - 1);
    fields.erase(fields.begin() + from);
    fields.insert(fields.begin() + index, this);
    m_dataSet.m_core->notify(Notice::Layout);
}
