#include "server/rpc/ParamKind.h"

#include "services/data/Int32Range.h"

#include <cmath>

namespace srv {

bool paramAccepts(ParamKind kind, const Variant& value) noexcept {
    const VarType type = value.type();
    switch (kind) {
    case ParamKind::Text:
        return type == VarType::Text;
    case ParamKind::Integer:
        if (type == VarType::Integer) return true;
        if (type == VarType::Double) {
            const double d = value.toDouble();
            return isWholeInt32(d);
        }
        return false;
    case ParamKind::Double:
        return type == VarType::Integer ||
               (type == VarType::Double && std::isfinite(value.toDouble()));
    case ParamKind::Boolean:
        return type == VarType::Boolean || type == VarType::Integer;
    case ParamKind::Date:
        // An unset date variable travels as null: the zero date.
        return type == VarType::DateTime || type == VarType::Null || type == VarType::Integer ||
               (type == VarType::Double && std::isfinite(value.toDouble()));
    case ParamKind::Any:
        return true;
    }
    return false;
}

const char* paramKindName(ParamKind kind) noexcept {
    switch (kind) {
    case ParamKind::Text:
        return "texto";
    case ParamKind::Integer:
        return "inteiro";
    case ParamKind::Double:
        return "número";
    case ParamKind::Boolean:
        return "lógico";
    case ParamKind::Date:
        return "data";
    case ParamKind::Any:
        return "variante";
    }
    return "?";
}

const char* valueKindName(const Variant& value) noexcept {
    switch (value.type()) {
    case VarType::Null:
        return "nulo";
    case VarType::Boolean:
        return "lógico";
    case VarType::Integer:
        return "inteiro";
    case VarType::Double:
        return "número";
    case VarType::Text:
        return "texto";
    case VarType::DateTime:
        return "data";
    case VarType::Packet:
        return "pacote de dados";
    case VarType::Array:
        return "vetor";
    }
    return "?";
}

} // namespace srv
