#pragma once

#include "services/data/Variant.h"

#include <concepts>
#include <string>

// One positional argument of a remote call: a value, or a reference to the caller's variable
// into which the server's new value is written back after a successful call.
class Arg {
public:
    // A by-value argument; anything a Variant can be made of converts implicitly.
    template <typename T>
    requires std::constructible_from<Variant, T> Arg(T&& value) : m_value(std::forward<T>(value)) {}

    // By-reference arguments; the variable must outlive the call.
    static Arg ref(Variant& variable);
    static Arg ref(std::string& variable);
    static Arg ref(int& variable);
    static Arg ref(double& variable);

    const Variant& value() const noexcept { return m_value; }
    bool byRef() const noexcept { return m_kind != Kind::Value; }
    // True when `answer` can be stored in the referenced variable (by-value: never).
    bool accepts(const Variant& answer) const noexcept;
    // Stores `answer` in the referenced variable; call only when accepts() holds.
    void writeBack(const Variant& answer) const;

private:
    enum class Kind { Value, RefVariant, RefText, RefInt, RefDouble };
    Arg(Kind kind, void* target, Variant value)
        : m_value(std::move(value)), m_kind(kind), m_target(target) {}

    Variant m_value;
    Kind m_kind = Kind::Value;
    void* m_target = nullptr;
};
