#pragma once

#include "services/data/FilterExpression.h"

#include <memory>
#include <string>
#include <vector>

// One node of a parsed filter; the bound part is filled by FilterExpression::bind.
struct FilterExpression::Node {
    enum class Kind : std::uint8_t { And, Or, Not, Compare, In, IsNull, Constant };
    // How a bound comparison reads the row: texts bytewise, numbers by value, the text of a
    // field as a number, or two fields against each other.
    enum class Mode : std::uint8_t { Text, Number, TextAsNumber, FieldField };

    struct Operand {
        bool isField = false;
        std::string name;
        int fieldNo = -1;
        FieldType type = FieldType::String;
        Variant value;
    };

    Kind kind = Kind::Constant;
    std::vector<std::unique_ptr<Node>> children;
    Op op = Op::Eq;
    Operand left, right;
    std::vector<Variant> list;
    bool negate = false;

    Mode mode = Mode::Text;
    std::string textKey;
    double numKey = 0;
    std::vector<std::string> textKeys;
    std::vector<double> numKeys;
    bool constant = false;
};
