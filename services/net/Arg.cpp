#include "services/net/Arg.h"

#include "services/data/Int32Range.h"

#include <cassert>
#include <cmath>
#include <limits>

Arg Arg::ref(Variant& variable) {
    return Arg(Kind::RefVariant, &variable, variable);
}
Arg Arg::ref(std::string& variable) {
    return Arg(Kind::RefText, &variable, Variant(variable));
}
Arg Arg::ref(int& variable) {
    return Arg(Kind::RefInt, &variable, Variant(variable));
}
Arg Arg::ref(double& variable) {
    return Arg(Kind::RefDouble, &variable, Variant(variable));
}

bool Arg::accepts(const Variant& answer) const noexcept {
    switch (m_kind) {
    case Kind::Value:
        return false;
    case Kind::RefVariant:
        return true;
    case Kind::RefText:
        // Numbers are not silently turned into texts: a typed variable expects its own kind.
        return answer.type() == VarType::Text || answer.isNull();
    case Kind::RefInt:
        if (answer.isNull() || answer.type() == VarType::Integer) return true;
        if (answer.type() == VarType::Double) {
            const double d = answer.toDouble();
            return isWholeInt32(d);
        }
        return false;
    case Kind::RefDouble:
        return answer.isNull() || answer.isNumeric() || answer.type() == VarType::DateTime;
    }
    return false;
}

void Arg::writeBack(const Variant& answer) const {
    assert(accepts(answer));
    switch (m_kind) {
    case Kind::Value:
        break;
    case Kind::RefVariant:
        *static_cast<Variant*>(m_target) = answer;
        break;
    case Kind::RefText:
        *static_cast<std::string*>(m_target) = answer.toText();
        break;
    case Kind::RefInt:
        *static_cast<int*>(m_target) = static_cast<int>(answer.toDouble());
        break;
    case Kind::RefDouble:
        *static_cast<double*>(m_target) =
            answer.type() == VarType::DateTime ? answer.toDate() : answer.toDouble();
        break;
    }
}
