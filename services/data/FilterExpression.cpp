#include "services/data/FilterExpression.h"
#include "services/data/TextCase.h"

#include "services/data/CellValue.h"
#include "services/data/DataSetError.h"
#include "services/data/FilterNode.h"
#include "services/data/FilterParser.h"

#include <algorithm>
#include <cctype>

using Node = FilterExpression::Node;
using Op = FilterExpression::Op;

namespace {

bool apply(Op op, int c) {
    switch (op) {
    case Op::Eq:
        return c == 0;
    case Op::Ne:
        return c != 0;
    case Op::Lt:
        return c < 0;
    case Op::Gt:
        return c > 0;
    case Op::Le:
        return c <= 0;
    case Op::Ge:
        return c >= 0;
    }
    return false;
}

Op flip(Op op) {
    switch (op) {
    case Op::Lt:
        return Op::Gt;
    case Op::Gt:
        return Op::Lt;
    case Op::Le:
        return Op::Ge;
    case Op::Ge:
        return Op::Le;
    default:
        return op;
    }
}

int cmpNum(double a, double b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Equality of short codes without a library call per row.
bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

int cmpText(std::string_view a, std::string_view b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The constant as a number for a numeric field of the given type.
double numericConstant(const Variant& c, FieldType type, const std::string& field) {
    double out = 0;
    if (c.isNumeric()) return c.toDouble();
    const std::string_view t = cell::text(c);
    if (type == FieldType::DateTime && TryParseDate(t, out)) return out;
    if (type == FieldType::Boolean) {
        std::string up(t);
        for (char& ch : up)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (up == "TRUE" || up == "S") return 1;
        if (up == "FALSE" || up == "N") return 0;
    }
    if (cell::textAsNumber(t, out)) return out;
    throw DataSetError("Filtro inválido: o valor '" + std::string(t) +
                       "' não pode ser comparado com o campo " + field + ".");
}

struct Binder {
    const std::vector<FieldDef>& fields;
    std::vector<int>& used;

    void operand(Node::Operand& o) {
        if (!o.isField) return;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (equalsNoCase(fields[i].name, o.name)) {
                o.fieldNo = static_cast<int>(i);
                o.type = fields[i].type;
                if (std::find(used.begin(), used.end(), o.fieldNo) == used.end())
                    used.push_back(o.fieldNo);
                return;
            }
        }
        throw DataSetError("Filtro inválido: campo " + o.name + " não encontrado.");
    }

    void compare(Node& n) {
        operand(n.left);
        operand(n.right);
        if (!n.left.isField && n.right.isField) {
            std::swap(n.left, n.right);
            n.op = flip(n.op);
        }
        if (!n.left.isField) {
            n.kind = Node::Kind::Constant;
            n.constant = apply(n.op, Variant::compare(n.left.value, n.right.value));
            return;
        }
        if (n.right.isField) {
            n.mode = Node::Mode::FieldField;
            return;
        }
        const Variant& c = n.right.value;
        if (n.left.type == FieldType::String) {
            if (c.isNumeric()) {
                n.mode = Node::Mode::TextAsNumber;
                n.numKey = c.toDouble();
            } else {
                n.mode = Node::Mode::Text;
                n.textKey = std::string(cell::text(c));
            }
            return;
        }
        n.mode = Node::Mode::Number;
        n.numKey = numericConstant(c, n.left.type, n.left.name);
    }

    void inList(Node& n) {
        operand(n.left);
        if (!n.left.isField) {
            bool found = false;
            for (const Variant& v : n.list)
                found = found || Variant::compare(n.left.value, v) == 0;
            n.kind = Node::Kind::Constant;
            n.constant = found != n.negate;
            return;
        }
        n.textKeys.clear();
        n.numKeys.clear();
        const bool anyNumber = std::any_of(n.list.begin(), n.list.end(),
                                           [](const Variant& v) { return v.isNumeric(); });
        if (n.left.type == FieldType::String && !anyNumber) {
            n.mode = Node::Mode::Text;
            for (const Variant& v : n.list)
                n.textKeys.emplace_back(cell::text(v));
            std::sort(n.textKeys.begin(), n.textKeys.end());
            return;
        }
        n.mode = n.left.type == FieldType::String ? Node::Mode::TextAsNumber : Node::Mode::Number;
        for (const Variant& v : n.list)
            n.numKeys.push_back(numericConstant(v, n.left.type, n.left.name));
        std::sort(n.numKeys.begin(), n.numKeys.end());
    }

    void bind(Node& n) {
        switch (n.kind) {
        case Node::Kind::And:
        case Node::Kind::Or:
        case Node::Kind::Not:
            for (auto& c : n.children)
                bind(*c);
            break;
        case Node::Kind::Compare:
            compare(n);
            break;
        case Node::Kind::In:
            inList(n);
            break;
        case Node::Kind::IsNull:
            operand(n.left);
            if (!n.left.isField) {
                n.kind = Node::Kind::Constant;
                n.constant = n.left.value.isNull() != n.negate;
            }
            break;
        case Node::Kind::Constant:
            break;
        }
    }
};

bool evalCompare(const Node& n, const std::vector<Variant>& row) {
    const Variant& v = row[static_cast<std::size_t>(n.left.fieldNo)];
    switch (n.mode) {
    case Node::Mode::Text:
        if (n.op == Op::Eq) return sameText(cell::text(v), n.textKey);
        if (n.op == Op::Ne) return !sameText(cell::text(v), n.textKey);
        return apply(n.op, cmpText(cell::text(v), n.textKey));
    case Node::Mode::Number: {
        double d = 0;
        return cell::number(v, d) ? apply(n.op, cmpNum(d, n.numKey)) : n.op == Op::Ne;
    }
    case Node::Mode::TextAsNumber: {
        double d = 0;
        return cell::textAsNumber(cell::text(v), d) ? apply(n.op, cmpNum(d, n.numKey))
                                                    : n.op == Op::Ne;
    }
    case Node::Mode::FieldField: {
        const Variant& w = row[static_cast<std::size_t>(n.right.fieldNo)];
        if (n.left.type == FieldType::String && n.right.type == FieldType::String)
            return apply(n.op, cmpText(cell::text(v), cell::text(w)));
        double a = 0, b = 0;
        if (cell::number(v, a) && cell::number(w, b)) return apply(n.op, cmpNum(a, b));
        return n.op == Op::Ne;
    }
    }
    return false;
}

bool evalIn(const Node& n, const std::vector<Variant>& row) {
    const Variant& v = row[static_cast<std::size_t>(n.left.fieldNo)];
    bool found = false;
    if (n.mode == Node::Mode::Text) {
        const std::string_view t = cell::text(v);
        auto it = std::lower_bound(n.textKeys.begin(), n.textKeys.end(), t,
                                   [](const std::string& a, std::string_view b) { return a < b; });
        found = it != n.textKeys.end() && *it == t;
    } else {
        double d = 0;
        const bool ok = n.mode == Node::Mode::Number ? cell::number(v, d)
                                                     : cell::textAsNumber(cell::text(v), d);
        found = ok && std::binary_search(n.numKeys.begin(), n.numKeys.end(), d);
    }
    return found != n.negate;
}

bool eval(const Node& n, const std::vector<Variant>& row) {
    switch (n.kind) {
    case Node::Kind::And:
        for (const auto& c : n.children)
            if (!eval(*c, row)) return false;
        return true;
    case Node::Kind::Or:
        for (const auto& c : n.children)
            if (eval(*c, row)) return true;
        return false;
    case Node::Kind::Not:
        return !eval(*n.children.front(), row);
    case Node::Kind::Compare:
        return evalCompare(n, row);
    case Node::Kind::In:
        return evalIn(n, row);
    case Node::Kind::IsNull:
        return row[static_cast<std::size_t>(n.left.fieldNo)].isNull() != n.negate;
    case Node::Kind::Constant:
        return n.constant;
    }
    return false;
}

void collectLookups(const Node& n, std::vector<FilterExpression::Lookup>& out) {
    if (n.kind == Node::Kind::And) {
        for (const auto& c : n.children)
            collectLookups(*c, out);
        return;
    }
    if (n.kind == Node::Kind::Compare && n.op == Op::Eq && n.mode != Node::Mode::FieldField &&
        n.mode != Node::Mode::TextAsNumber) {
        FilterExpression::Lookup l{n.left.fieldNo, {}};
        if (n.mode == Node::Mode::Text)
            l.keys.emplace_back(std::string_view(n.textKey));
        else
            l.keys.emplace_back(n.numKey);
        out.push_back(std::move(l));
    } else if (n.kind == Node::Kind::In && !n.negate && n.mode != Node::Mode::TextAsNumber) {
        FilterExpression::Lookup l{n.left.fieldNo, {}};
        for (const auto& k : n.textKeys)
            l.keys.emplace_back(std::string_view(k));
        for (double k : n.numKeys)
            l.keys.emplace_back(k);
        out.push_back(std::move(l));
    }
}

} // namespace

FilterExpression::FilterExpression() = default;
FilterExpression::~FilterExpression() = default;
FilterExpression::FilterExpression(FilterExpression&&) noexcept = default;
FilterExpression& FilterExpression::operator=(FilterExpression&&) noexcept = default;

FilterExpression FilterExpression::parse(std::string_view text) {
    FilterExpression e;
    e.m_root = FilterParser(text).parse();
    return e;
}

void FilterExpression::bind(const std::vector<FieldDef>& fields) {
    m_fieldsUsed.clear();
    m_bound = false;
    if (m_root) {
        Binder binder{fields, m_fieldsUsed};
        binder.bind(*m_root);
    }
    m_bound = true;
}

bool FilterExpression::matches(const std::vector<Variant>& row) const {
    return !m_root || eval(*m_root, row);
}

bool FilterExpression::usesField(int fieldNo) const noexcept {
    return std::find(m_fieldsUsed.begin(), m_fieldsUsed.end(), fieldNo) != m_fieldsUsed.end();
}

std::vector<FilterExpression::Lookup> FilterExpression::lookups() const {
    std::vector<Lookup> out;
    if (m_root) collectLookups(*m_root, out);
    return out;
}

bool FilterExpression::decidedByLookup() const noexcept {
    if (!m_root || !m_bound || m_root->mode != Node::Mode::Text ||
        m_root->left.type != FieldType::String)
        return false;
    if (m_root->kind == Node::Kind::Compare) return m_root->op == Op::Eq;
    return m_root->kind == Node::Kind::In && !m_root->negate;
}
